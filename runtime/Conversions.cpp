#include "runtime/Conversions.h"

#include "runtime/Exceptions.h"
#include "runtime/Format.h"
#include "runtime/Messages.h"

namespace quorvane {

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TryStrToInt(std::string_view text, std::int32_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size()) return false;

    if (text[i] == '$') {
        ++i;
        if (i == text.size()) return false;
        std::uint64_t pattern = 0;
        for (; i < text.size(); ++i) {
            const int digit = HexDigitValue(text[i]);
            if (digit < 0) return false;
            pattern = pattern * 16 + static_cast<std::uint64_t>(digit);
            // Leading zeros are harmless; only the value has to fit 32 bits.
            if (pattern > 0xFFFFFFFFull) return false;
        }
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(pattern));
        return true;
    }

    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return false;
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        if (magnitude > limit) return false;
    }
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

std::int32_t StrToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!TryStrToInt(text, value)) {
        throw EConvertError(Format(messages::kInvalidInteger, {text}));
    }
    return value;
}

std::string IntToStr(std::int32_t value)
{
    return std::to_string(value);
}

}  // namespace quorvane
