#include "platform/TextCase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The system's own case and comparison service, on Linux and on Windows
// alike: the literals are the same German names in each system's narrow
// encoding.
namespace quorvane::platform {
namespace {

const TextCase& Native() { return NativeTextCase(); }

std::string Lower(std::string text)
{
    Native().LowerCase(text);
    return text;
}

std::string UpperAt(std::string text, std::size_t index)
{
    Native().UpperCaseCharAt(text, index);
    return text;
}

TEST(TextCaseTest, UmlautsChangeCaseAndKeepTheirLength)
{
    EXPECT_EQ(Lower("ÄRGER ÜBER ÖL - Straße 7"), "ärger über öl - straße 7");
    EXPECT_EQ(Lower("ŸVONNE ŠTEFAN ŒUVRE"), "ÿvonne štefan œuvre");
    EXPECT_EQ(UpperAt("ärger", 0), "Ärger");
    EXPECT_EQ(UpperAt("öl über", std::string("öl ").size()), "öl Über");
    EXPECT_EQ(UpperAt("ÿ", 0), "Ÿ");
    // No capital of ß fits in its place; nothing past the end changes.
    EXPECT_EQ(UpperAt("ß", 0), "ß");
    EXPECT_EQ(UpperAt("abc", 3), "abc");
    EXPECT_EQ(UpperAt("", 0), "");
}

TEST(TextCaseTest, ComparisonFollowsTheLocaleAndTheKeyMatchesIt)
{
    EXPECT_EQ(Native().CompareIgnoreCase("ärger", "ÄRGER"), 0);
    EXPECT_EQ(Native().CompareIgnoreCase("", ""), 0);
    EXPECT_LT(Native().CompareIgnoreCase("Apfel", "ärger"), 0);
    EXPECT_LT(Native().CompareIgnoreCase("ärger", "Birne"), 0);
    EXPECT_GT(Native().CompareIgnoreCase("b", "A"), 0);
    EXPECT_LT(Native().CompareIgnoreCase("Song", "Song 2"), 0);
    EXPECT_NE(Native().Compare("ärger", "Ärger"), 0);
    EXPECT_EQ(Native().Compare("Ärger", "Ärger"), 0);

    const std::vector<std::string> names = {"",      "a",     "A",     "ä",      "Ä",        "ae",  "b",
                                            "ärger", "ÄRGER", "Ärger", "Arger",  "Straße",   "STRASSE",
                                            "ÿ",     "Ÿ",     "y",     "a\u00ADb", "ab",     "Song - 1.mp3",
                                            "SONG - 1.MP3", "Song - 1.mp4"};
    for (const std::string& a : names) {
        for (const std::string& b : names) {
            const bool equal = Native().CompareIgnoreCase(a, b) == 0;
            EXPECT_EQ(Native().IgnoreCaseKey(a) == Native().IgnoreCaseKey(b), equal) << a << " / " << b;
            EXPECT_EQ(Native().CompareIgnoreCase(b, a) == 0, equal) << a << " / " << b;
        }
    }
    EXPECT_EQ(Native().IgnoreCaseKey("Song - 1.mp3"), Native().IgnoreCaseKey("SONG - 1.MP3"));
    EXPECT_NE(Native().IgnoreCaseKey("Song - 1.mp3"), Native().IgnoreCaseKey("Song - 1.mp4"));
}

}  // namespace
}  // namespace quorvane::platform
