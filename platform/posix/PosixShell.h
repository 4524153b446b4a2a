#pragma once

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

}  // namespace quorvane::platform::posix
