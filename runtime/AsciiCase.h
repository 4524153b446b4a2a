#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// Case rules for the ASCII letters alone, for the names of the program's own
// world: drive letters, keys of settings files, file name extensions, the
// names of desktop files. Every other byte, those of UTF-8 included, stays as
// it is; names the user gives go through the platform's text case instead.

constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline void MakeAsciiUpper(std::string& text)
{
    for (char& c : text) c = AsciiUpper(c);
}

inline void MakeAsciiLower(std::string& text)
{
    for (char& c : text) c = AsciiLower(c);
}

// Equal but for the case of ASCII letters.
constexpr bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

}  // namespace quorvane
