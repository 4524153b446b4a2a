#include "runtime/Format.h"

namespace quorvane {

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string result;
    result.reserve(pattern.size() + 32);
    auto next = arguments.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            result += c;
            continue;
        }
        const char kind = pattern[i + 1];
        if (kind == '%') {
            result += '%';
            ++i;
        } else if ((kind == 's' || kind == 'd') && next != arguments.end()) {
            result += *next++;
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace quorvane
