// The file mask is typed by the user and matched against every name of the
// folder, so it must never read past a name or a mask and never take more
// than quadratic time, and its answers must agree with a plain table-driven
// reading of the rules (checked on ASCII, where case folding is simple).
#include "platform/posix/WildcardMask.h"

#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the mask matches the whole name: "*" any run, "?" one character.
bool TableMatches(std::string_view mask, std::string_view name)
{
    // matches[j]: the mask so far matches the first j characters of the name.
    std::vector<bool> matches(name.size() + 1, false);
    matches[0] = true;
    for (char symbol : mask) {
        std::vector<bool> next(name.size() + 1, false);
        if (symbol == '*') {
            bool reached = false;
            for (std::size_t j = 0; j <= name.size(); ++j) next[j] = reached = reached || matches[j];
        } else {
            for (std::size_t j = 1; j <= name.size(); ++j) {
                next[j] = matches[j - 1] && (symbol == '?' || Folded(symbol) == Folded(name[j - 1]));
            }
        }
        matches.swap(next);
    }
    return matches[name.size()];
}

// A final "." followed by stars may also stand for the end of the name.
bool ReferenceMatches(std::string_view mask, std::string_view name)
{
    if (TableMatches(mask, name)) return true;
    std::size_t stars = mask.size();
    while (stars > 0 && mask[stars - 1] == '*') --stars;
    const bool dotTail = stars > 0 && stars < mask.size() && mask[stars - 1] == '.';
    return dotTail && TableMatches(mask.substr(0, stars - 1), name);
}

bool IsAscii(std::string_view text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string mask = input.ConsumeRandomLengthString(64);
    const std::string name = input.ConsumeRemainingBytesAsString();

    const quorvane::platform::posix::TWildcardMask wildcard(mask);
    const bool matches = wildcard.Matches(name);
    FUZZ_CHECK(wildcard.Matches(name) == matches);
    if (IsAscii(mask) && IsAscii(name)) FUZZ_CHECK(matches == ReferenceMatches(mask, name));

    // A name always matches itself wrapped in stars, whatever bytes it holds.
    if (name.find_first_of("*?") == std::string::npos) {
        FUZZ_CHECK(quorvane::platform::posix::TWildcardMask(name).Matches(name));
        FUZZ_CHECK(quorvane::platform::posix::TWildcardMask("*" + name + "*").Matches(name));
    }
    return 0;
}
