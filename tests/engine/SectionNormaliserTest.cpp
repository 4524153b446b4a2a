#include "engine/SectionNormaliser.h"

#include "tests/support/FakeTextCase.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

constexpr NormaliseOptions kAll{true, true, true};
constexpr NormaliseOptions kNone{false, false, false};
constexpr NormaliseOptions kUnderscoresOnly{true, false, false};
constexpr NormaliseOptions kCapitalsOnly{false, true, false};
constexpr NormaliseOptions kSpacesOnly{false, false, true};
constexpr NormaliseOptions kNoSpaces{true, true, false};
constexpr NormaliseOptions kNoCapitals{true, false, true};
constexpr NormaliseOptions kNoUnderscores{false, true, true};

struct Case {
    const char* input;
    NormaliseOptions options;
    const char* expected;
};

void ExpectCases(const Case* begin, const Case* end)
{
    const testing::FakeTextCase textCase;
    for (const Case* c = begin; c != end; ++c) {
        EXPECT_EQ(c->expected, NormaliseSection(c->input, c->options, textCase))
            << '"' << c->input << "\" with underscores " << c->options.UnderscoreHandling << ", capitals "
            << c->options.CapitaliseWords << ", spaces " << c->options.EqualiseSpaces;
    }
}

TEST(SectionNormaliserTest, UnderscoresBecomeDashesApostrophesAndSpaces)
{
    const Case cases[] = {
        {"", kAll, ""},
        {"the_beatles___let_it_be", kAll, "The Beatles - Let It Be"},
        {"a___b", kUnderscoresOnly, "a - b"},
        // Four underscores: a spaced dash and one underscore, which becomes a
        // space; equalising then shrinks the double space.
        {"a____b", kNoSpaces, "A -  B"},
        {"a____b", kAll, "A - B"},
        {"a______b", kUnderscoresOnly, "a -  - b"},
        {"a__b", kNoSpaces, "A  B"},
        {"a__b", kAll, "A B"},
        {"it_s_john_s_", kNoCapitals, "it's john's"},
        // The first possessive is found whatever the case of its s, later
        // ones only with a lower-case s.
        {"the_S_song_S_x", kNoCapitals, "the'S song S x"},
        {"the_S_song_s_x", kNoCapitals, "the'S song's x"},
        {"x_s_s_y", kUnderscoresOnly, "x's's y"},
        {"___", kAll, "-"},
        {"_", kUnderscoresOnly, " "},
        // Without underscore handling an underscore is neither a space nor a word start.
        {"the_beatles", kNoUnderscores, "The_beatles"},
        {"a___b", kNone, "a___b"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

TEST(SectionNormaliserTest, WordsStartWithCapitalsAfterSpaceParenthesisAndHyphen)
{
    const Case cases[] = {
        {"alpha", kAll, "Alpha"},
        {"THE BEATLES", kAll, "The Beatles"},
        {"ABBA", kCapitalsOnly, "Abba"},
        {"mcCartney", kCapitalsOnly, "Mccartney"},
        {"rock-n-roll (live version)", kCapitalsOnly, "Rock-N-Roll (Live Version)"},
        {"it's a.b ac/dc 2nd", kCapitalsOnly, "It's A.b Ac/dc 2nd"},
        {"end-", kCapitalsOnly, "End-"},
        {"(", kCapitalsOnly, "("},
        // The leading space makes the first word start after it; trimming
        // then takes the space away.
        {" beta", kAll, "Beta"},
        {" beta", kCapitalsOnly, " Beta"},
        // Umlauts are one character of two bytes; the one after a space is
        // the character that starts at the next byte.
        {"\xC3\xBC" "ber \xC3\xB6l", kCapitalsOnly, "\xC3\x9C" "ber \xC3\x96l"},
        {"\xC3\x84RGER STRA\xC3\x9F" "E", kCapitalsOnly, "\xC3\x84" "rger Stra\xC3\x9F" "e"},
        {"x \xC3\xA4" "x-\xC3\xA9t\xC3\xA9", kCapitalsOnly, "X \xC3\x84" "x-\xC3\x89t\xC3\xA9"},
        // Invalid UTF-8 stays as it is, and the letter behind it is no word start.
        {"\xFF" "abc \xFE" "def", kCapitalsOnly, "\xFF" "abc \xFE" "def"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

TEST(SectionNormaliserTest, SpacesAreTrimmedAndShrunkButLettersAboveAsciiStay)
{
    const Case cases[] = {
        {"  Hello   WORLD \t", kSpacesOnly, "Hello WORLD"},
        {"\x01\x1F x \r\n", kSpacesOnly, "x"},
        {"a \t  b", kSpacesOnly, "a \t b"},
        {" \t  ", kSpacesOnly, ""},
        {" \t  ", kAll, ""},
        // Bytes of 0x80 and above are letters or parts of letters, never blanks.
        {"\xC3\xA4", kSpacesOnly, "\xC3\xA4"},
        {" x \xC3\xA4 ", kSpacesOnly, "x \xC3\xA4"},
        {"\xA0x\xFF", kSpacesOnly, "\xA0x\xFF"},
        {"\x80  \x80", kSpacesOnly, "\x80 \x80"},
        {"  a  b  ", kNone, "  a  b  "},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

}  // namespace
}  // namespace quorvane
