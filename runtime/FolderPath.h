#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// Folder paths as the program names them, with drive letters and
// backslashes: "C:\Daten\Musik", or "C:\" for a root, the one folder whose
// path ends in a backslash.

constexpr bool EndsWithBackslash(std::string_view path) { return !path.empty() && path.back() == '\\'; }

// The folder's path with the one backslash that a name is joined to:
// "C:\Daten\" for "C:\Daten" and "C:\" alike.
inline std::string WithTrailingBackslash(std::string_view folder)
{
    std::string path(folder);
    if (!EndsWithBackslash(path)) path += '\\';
    return path;
}

}  // namespace quorvane
