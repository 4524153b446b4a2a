// The settings file is a text file anyone can edit, so the reader and the
// writer must cope with any bytes at all: a value written must read back as
// written, and writing one value must leave every other value as it was.
#include "platform/posix/IniText.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using quorvane::platform::posix::FindIniValue;
using quorvane::platform::posix::SetIniValue;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names are the same when they differ only in blanks around them and the
// case of ASCII letters.
bool SameName(std::string_view a, std::string_view b)
{
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string otherSection = input.ConsumeRandomLengthString(24);
    const std::string otherKey = input.ConsumeRandomLengthString(24);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::optional<std::string> before = FindIniValue(text, otherSection, otherKey);
    static_cast<void>(FindIniValue(text, section, key));

    const std::optional<std::string> written = SetIniValue(text, section, key, value);
    if (!written) return 0;

    // The value reads back as written, up to its first line break.
    const std::string expected = value.substr(0, value.find_first_of("\r\n"));
    const std::optional<std::string> readBack = FindIniValue(*written, section, key);
    FUZZ_CHECK(readBack && *readBack == expected);

    // Every other value stays as it was.
    if (!(SameName(section, otherSection) && SameName(key, otherKey))) {
        FUZZ_CHECK(FindIniValue(*written, otherSection, otherKey) == before);
    }

    // Writing the same value again changes nothing more.
    const std::optional<std::string> again = SetIniValue(*written, section, key, value);
    FUZZ_CHECK(again && *again == *written);
    return 0;
}
