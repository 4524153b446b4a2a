#include "platform/posix/PosixTextCase.h"

#include "platform/TextCase.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane::platform {
namespace {

const TextCase& Text() { return NativeTextCase(); }

std::string Lower(std::string text)
{
    Text().LowerCase(text);
    return text;
}

std::string UpperAt(std::string text, std::size_t index)
{
    Text().UpperCaseCharAt(text, index);
    return text;
}

TEST(PosixTextCaseTest, CaseChangesKeepTheByteLength)
{
    EXPECT_EQ(Lower("ÄÖÜ ABC Straße"), "äöü abc straße");
    EXPECT_EQ(Lower("ΣΟΦΊΑ ПРИВЕТ"), "σοφία привет");
    // Their lower-case forms are shorter in UTF-8, so they stay.
    EXPECT_EQ(Lower("\u1E9E \u0130 \u212A"), "\u1E9E \u0130 \u212A");
    // Bytes that are not UTF-8 stay as they are, and so do the bytes around them.
    EXPECT_EQ(Lower("\xC4X\xFF\xE4Y\xC3"), "\xC4x\xFF\xE4y\xC3");

    EXPECT_EQ(UpperAt("ab", 0), "Ab");
    EXPECT_EQ(UpperAt("äb", 0), "Äb");
    EXPECT_EQ(UpperAt("aä", 1), "aÄ");
    EXPECT_EQ(UpperAt("ÿ", 0), "Ÿ");
    EXPECT_EQ(UpperAt("ßa", 0), "ßa");   // upper-case "SS" would be longer
    EXPECT_EQ(UpperAt("aä", 2), "aä");   // inside a character
    EXPECT_EQ(UpperAt("ab", 2), "ab");   // past the end
    EXPECT_EQ(UpperAt("\xE4" "b", 0), "\xE4" "b");
    EXPECT_EQ(UpperAt("a b", 1), "a b");
}

TEST(PosixTextCaseTest, CollationLocaleComesFromTheEnvironment)
{
    using posix::CollationLocaleName;
    EXPECT_EQ(CollationLocaleName(nullptr, nullptr, nullptr), "");
    EXPECT_EQ(CollationLocaleName("", "de_DE.UTF-8", "en_US.UTF-8"), "de_DE");
    EXPECT_EQ(CollationLocaleName("sv_SE.UTF-8", "de_DE.UTF-8", nullptr), "sv_SE");
    EXPECT_EQ(CollationLocaleName(nullptr, nullptr, "de_DE.UTF-8@euro"), "de_DE");
    EXPECT_EQ(CollationLocaleName("C", "de_DE.UTF-8", nullptr), "");
    EXPECT_EQ(CollationLocaleName(nullptr, "POSIX", "de_DE"), "");
    EXPECT_EQ(CollationLocaleName(nullptr, nullptr, "C.UTF-8"), "");
}

}  // namespace
}  // namespace quorvane::platform
