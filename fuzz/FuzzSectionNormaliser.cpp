// File names come from any system and any user, in any bytes. Cleaning a
// section must never read or write past it, and what each switch does must
// stay within what the user asked for: nothing with every switch off, no
// change of length without space equalising, no underscore left with the
// underscore handling on.
#include "engine/SectionNormaliser.h"

#include "platform/TextCase.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using quorvane::NormaliseOptions;
using quorvane::NormaliseSection;

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// True when `part` can be had from `whole` by leaving out characters.
bool IsSubsequence(const std::string& part, const std::string& whole)
{
    std::size_t i = 0;
    for (char c : whole) {
        if (i < part.size() && part[i] == c) ++i;
    }
    return i == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    NormaliseOptions options;
    options.UnderscoreHandling = input.ConsumeBool();
    options.CapitaliseWords = input.ConsumeBool();
    options.EqualiseSpaces = input.ConsumeBool();
    const std::string text = input.ConsumeRemainingBytesAsString();
    const quorvane::platform::TextCase& textCase = quorvane::platform::NativeTextCase();

    const std::string cleaned = NormaliseSection(text, options, textCase);
    FUZZ_CHECK(NormaliseSection(text, options, textCase) == cleaned);

    if (text.empty()) FUZZ_CHECK(cleaned.empty());
    if (!options.UnderscoreHandling && !options.CapitaliseWords && !options.EqualiseSpaces) FUZZ_CHECK(cleaned == text);
    if (options.EqualiseSpaces) {
        FUZZ_CHECK(cleaned.size() <= text.size());
        FUZZ_CHECK(cleaned.find("  ") == std::string::npos);
        FUZZ_CHECK(cleaned.empty() || (static_cast<unsigned char>(cleaned.front()) > 32 &&
                                  static_cast<unsigned char>(cleaned.back()) > 32));
    } else {
        FUZZ_CHECK(cleaned.size() == text.size());
    }
    if (options.UnderscoreHandling) FUZZ_CHECK(cleaned.find('_') == std::string::npos);

    // Without the underscore rules, only letters may change, and only in
    // case; space equalising may only leave characters out.
    if (!options.UnderscoreHandling) {
        const std::string cased = options.CapitaliseWords
                                      ? NormaliseSection(text, NormaliseOptions{false, true, false}, textCase)
                                      : text;
        FUZZ_CHECK(cased.size() == text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto original = static_cast<unsigned char>(text[i]);
            const auto now = static_cast<unsigned char>(cased[i]);
            if (original < 0x80 && !IsAsciiLetter(original)) FUZZ_CHECK(now == original);
            if (original < 0x80 && IsAsciiLetter(original)) FUZZ_CHECK((now | 0x20) == (original | 0x20));
        }
        if (options.EqualiseSpaces) FUZZ_CHECK(IsSubsequence(cleaned, cased));
    }
    return 0;
}
