// The integer conversion reads every map cell and every number of the
// settings file, so any text must give a clean yes or no, and the answer must
// agree with a second, independently written reading of the same rules.
#include "runtime/Conversions.h"
#include "runtime/Exceptions.h"

#include "fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

// The rules once more, written for clarity rather than speed: leading
// spaces, then "$" and one to eight significant hexadecimal digits, or an
// optional sign and decimal digits within the 32-bit range, up to the end.
std::optional<std::int32_t> ReferenceValue(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    std::string_view rest = text.substr(start);

    if (rest.front() == '$') {
        rest.remove_prefix(1);
        if (rest.empty() || rest.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
            return std::nullopt;
        }
        const std::size_t significant = rest.find_first_not_of('0');
        if (significant != std::string_view::npos && rest.size() - significant > 8) return std::nullopt;
        const std::uint32_t pattern = static_cast<std::uint32_t>(std::stoull(std::string(rest), nullptr, 16));
        return static_cast<std::int32_t>(pattern);
    }

    bool negative = false;
    if (rest.front() == '+' || rest.front() == '-') {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty() || rest.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const std::size_t significant = rest.find_first_not_of('0');
    if (significant == std::string_view::npos) return 0;
    rest.remove_prefix(significant);
    if (rest.size() > 10) return std::nullopt;
    const std::int64_t magnitude = std::stoll(std::string(rest));
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::int32_t value = 12345;
    const bool converted = quorvane::TryStrToInt(text, value);
    const std::optional<std::int32_t> expected = ReferenceValue(text);
    FUZZ_CHECK(converted == expected.has_value());
    FUZZ_CHECK(!converted || value == *expected);

    // StrToInt must agree and, on failure, name the text in its message.
    try {
        const std::int32_t strToInt = quorvane::StrToInt(text);
        FUZZ_CHECK(converted && strToInt == value);
    } catch (const quorvane::EConvertError& error) {
        FUZZ_CHECK(!converted);
        const std::string expectedMessage = "'" + std::string(text) + "' ist kein gültiger Integerwert";
        FUZZ_CHECK(error.Message() == expectedMessage);
    }

    // What IntToStr writes reads back as the same number.
    if (converted) {
        std::int32_t again = 0;
        FUZZ_CHECK(quorvane::TryStrToInt(quorvane::IntToStr(value), again) && again == value);
    }
    return 0;
}
