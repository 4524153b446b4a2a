#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::platform::posix {

// The arguments a Windows program's C runtime makes of its command line:
// blanks (spaces, tabs) separate arguments, double quotes group blanks into
// one argument and may start and end anywhere in it, two double quotes inside
// a quoted part stand for one, and backslashes are literal except before a
// double quote, where each pair gives one backslash and an odd one left over
// makes the quote literal. The posix shell passes parameters on in this form
// so that a command reaches its program as it would on Windows.
std::vector<std::string> SplitCommandLine(std::string_view parameters);

// The executable file a program name stands for: an absolute path as it is,
// a name without a slash searched in PATH as a shell would, except that
// empty and relative entries of PATH are passed over. A relative path never
// counts: the current folder is whatever folder the user browsed to
// last, and a program lying around there must never be started instead of
// the one the desktop registered.
std::optional<std::string> FindProgram(std::string_view program);

}  // namespace quorvane::platform::posix
