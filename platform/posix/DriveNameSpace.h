#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The drive-letter name space of the program mapped onto the Unix tree: C:
// is the user's home folder, Z: is /, mounted volumes get further letters.
// Only the posix backends use it, at their boundary to the system.
namespace quorvane::platform::posix {

// The Unix path for a name of the drive-letter space ("C:\Musik", "Musik",
// "\Musik", "D:", "..\x"), resolved against the current folders by text as
// Windows does. On failure: nothing, and `error` holds the Windows error code
// (15 for an unknown drive, 3 for a name that cannot be a path).
std::optional<std::string> ToUnixPath(std::string_view path, std::uint32_t& error);

// The drive-letter name of a Unix path ("/home/anna/Musik" -> "C:\Musik"), or
// nothing when the path lies outside every drive or cannot be named (a
// component holds a backslash).
std::optional<std::string> FromUnixPath(std::string_view unixPath);

}  // namespace quorvane::platform::posix
