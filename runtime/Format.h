#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvane {

// Fills a message pattern: each "%s" and "%d" takes the next argument as it
// stands (callers turn numbers into text first), "%%" is a percent sign.
// Placeholders without an argument stay in the text; extra arguments are ignored.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> arguments);

}  // namespace quorvane
