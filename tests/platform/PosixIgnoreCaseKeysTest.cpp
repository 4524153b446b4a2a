#include "platform/posix/PosixTextCase.h"

#include "platform/TextCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace quorvane::platform {
namespace {

const TextCase& Text() { return NativeTextCase(); }

TEST(PosixIgnoreCaseKeysTest, IgnoreCaseKeysAgreeWithTheComparison)
{
    struct Pair {
        std::string A;
        std::string B;
        bool EqualIgnoringCase;
    };
    const std::vector<Pair> pairs = {
        {"Ä", "ä", true},
        {"Müller - Lied.MP3", "müller - lied.mp3", true},
        {"ä", "a", false},  // accents count
        {"ab", "a b", false},
        {"ab", "a\u00A0b", false},
        {"A\xFF", "a\xFF", true},  // a byte that is not UTF-8 leaves case-insensitivity intact
        {"a\xFF", "a\xFE", false},
        {"a\xFF", "a", false},
        {"x\xC3", "x\xC4", false},
        {"\xC3\xA4", "\xC3", false},
        // A genuine private-use character and the byte standing in for it.
        {"\xEF\x9F\xBF", "\xFF", false},
        {"\xEF\x9F\xBF" "A", "\xEF\x9F\xBF" "a", true},
        {"", "", true},
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.A + " | " + pair.B);
        const int comparison = Text().CompareIgnoreCase(pair.A, pair.B);
        EXPECT_EQ(comparison == 0, pair.EqualIgnoringCase);
        EXPECT_EQ(Text().CompareIgnoreCase(pair.B, pair.A), -comparison);
        EXPECT_EQ(Text().IgnoreCaseKey(pair.A) == Text().IgnoreCaseKey(pair.B), pair.EqualIgnoringCase);
        EXPECT_EQ(Text().Compare(pair.A, pair.B) == 0, pair.A == pair.B);
    }
    EXPECT_LT(Text().CompareIgnoreCase("a", "B"), 0);
    EXPECT_LT(Text().Compare("a", "B"), 0);
    EXPECT_NE(Text().Compare("a", "A"), 0);
}

// The keys are built from the collator's weights, by class for plain ASCII
// names, by table for Latin names and by ICU's element iterator otherwise,
// while the comparison is ICU's own; names mixing the ways, contractions
// ("l·" in every locale, "ch" in Czech, "dzs" in Hungarian, "aa" in Danish),
// combining marks, full-width letters, ignorable characters and stray bytes
// must still agree, in the root collation and in locales with contractions
// of ASCII letters.
TEST(PosixIgnoreCaseKeysTest, KeysAgreeWithTheComparisonOnMixedNames)
{
    // The class keys of ASCII names count on this.
    EXPECT_FALSE(posix::RootHasAsciiContractions());

    const std::vector<std::string> pieces = { "a", "A", "l", "L", "·", "l·", "\u0387", "s", "ss", "ß", "ẞ", "e", "é",
        "e\u0301", "E\u0301", "ä", "a\u0308", "ae", "æ", "ı", "I", "İ", "ａ", "Ａ", "\u00AD", "\x01", " ", "-", "_",
        "1", "２", "я", "Я", "е\u0308", "ё", "中", "カ", "ー", "\xFF", "\xFE", "\xC3", "\xEF\x9F\xBF",
        // A letter whose weights are those of two ASCII letters.
        "ǳ", "Ǳ", "dz",
        // Letters that form contractions in some locales.
        "c", "h", "CH", "d", "Z", "å" };
    std::vector<std::string> names = pieces;
    std::uint32_t state = 12345;
    for (int i = 0; i < 700; ++i) {
        std::string name;
        for (int part = 0; part < 1 + i % 3; ++part) {
            state = state * 1103515245u + 12345u;
            name += pieces[(state >> 16) % pieces.size()];
        }
        names.push_back(name);
    }
    for (const char* locale : {"", "cs", "hu", "da"}) {
        SCOPED_TRACE(std::string("locale '") + locale + "'");
        const std::unique_ptr<TextCase> text = posix::MakeTextCase(locale);
        // Plain ASCII names first, as a run meets them, before any other
        // name has made the collator learn all its weights.
        std::vector<std::size_t> order(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) order[i] = i;
        std::stable_partition(order.begin(), order.end(), [&](std::size_t i) {
            return std::all_of(names[i].begin(), names[i].end(), [](char c) { return (c & 0x80) == 0; });
        });
        std::vector<std::string> keys(names.size());
        for (const std::size_t i : order) keys[i] = text->IgnoreCaseKey(names[i]);
        int mismatches = 0;
        int equalPairs = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            for (std::size_t j = i + 1; j < names.size(); ++j) {
                const bool equal = text->CompareIgnoreCase(names[i], names[j]) == 0;
                equalPairs += equal;
                if (equal != (keys[i] == keys[j]) && ++mismatches <= 5) {
                    ADD_FAILURE() << "'" << names[i] << "' and '" << names[j] << "': compare " << equal;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_GT(equalPairs, 100);  // the pieces do meet as equal, so the agreement means something
    }
}

}  // namespace
}  // namespace quorvane::platform
