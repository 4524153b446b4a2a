#include "platform/posix/IniText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::platform::posix {
namespace {

using namespace std::string_literals;

struct ReadCase {
    std::string text;
    std::string_view section;
    std::string_view key;
    std::optional<std::string> expected;
};

TEST(PosixProfileTextTest, FindsValuesAsTheProfileServiceReadsThem)
{
    const ReadCase cases[] = {
        {"[FormMain]\nOben=5\n", "FormMain", "Oben", "5"},
        {"[formMAIN]\nOBEN=5\n", "FormMain", "oben", "5"},
        {"[FormMain]\nOben=5\n", "Andere", "Oben", std::nullopt},
        {"[FormMain]\nOben=5\n", "FormMain", "Links", std::nullopt},
        {"[A]\nOben=1\n[FormMain]\nLinks=2\n", "FormMain", "Oben", std::nullopt},
        {"[A]\nOben=1\n[FormMain]\nOben=2\n", "FormMain", "Oben", "2"},
        {"Oben=1\n[FormMain]\n", "FormMain", "Oben", std::nullopt},
        {"[FormMain]\nDirectory=\n", "FormMain", "Directory", ""},
        {"[FormMain]\nDirectory=   \n", "FormMain", "Directory", ""},
        {"  [ FormMain ]  \n \t Oben \t=  12 34 \t\n", "FormMain", "Oben", "12 34"},
        {"[FormMain]\r\nOben=7\r\nLinks=8\r\n", "FormMain", "Oben", "7"},
        {"[FormMain]\nOben=7", "FormMain", "Oben", "7"},
        {"\xEF\xBB\xBF[FormMain]\nOben=7\n", "FormMain", "Oben", "7"},
        {"[FormMain]\nDirectory=\"C:\\Musik\"\n", "FormMain", "Directory", "C:\\Musik"},
        {"[FormMain]\nDirectory='C:\\Musik'\n", "FormMain", "Directory", "C:\\Musik"},
        {"[FormMain]\nDirectory=\"C:\\Musik'\n", "FormMain", "Directory", "\"C:\\Musik'"},
        {"[FormMain]\nDirectory=\"\n", "FormMain", "Directory", "\""},
        {"[FormMain]\nDirectory=C:\\a=b\n", "FormMain", "Directory", "C:\\a=b"},
        {"[FormMain]\n;Oben=1\nOben\nOben=2\n", "FormMain", "Oben", "2"},
        {"[FormMain]\nOben=1\nOben=2\n", "FormMain", "Oben", "1"},
        {"[FormMain]\nOben=1\n[FormMain]\nLinks=2\n", "FormMain", "Links", std::nullopt},
        {"[FormMain]\n[Kaputt\nOben=1\n", "FormMain", "Oben", std::nullopt},
        {"[FormMain]\nDirectory=C:\\M\xC3\xBCsik\xA0\n", "FormMain", "Directory", "C:\\M\xC3\xBCsik\xA0"},
        {"[FormMain]\n\0\xFF=\x01\nOben=a\0b\n"s, "FormMain", "Oben", "a\0b"s},
        {"", "FormMain", "Oben", std::nullopt},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(FindIniValue(c.text, c.section, c.key), c.expected) << c.text;
    }
}

struct WriteCase {
    std::string before;
    std::string_view section;
    std::string_view key;
    std::string_view value;
    std::string after;
};

TEST(PosixProfileTextTest, ChangesOnlyTheValueAndKeepsEverythingElse)
{
    const WriteCase cases[] = {
        {"", "FormMain", "Oben", "5", "[FormMain]\nOben=5\n"},
        {"[FormMain]\nOben=1\n", "FormMain", "Oben", "5", "[FormMain]\nOben=5\n"},
        {"; Fenster\n[FormMain]\nLinks=1\n  OBEN = 1 \nHoehe=2\n", "FormMain", "oben", "5",
         "; Fenster\n[FormMain]\nLinks=1\n  OBEN=5\nHoehe=2\n"},
        {"[FormMain]\nOben=1\n\n[Andere]\nx=1\n", "FormMain", "Links", "2",
         "[FormMain]\nOben=1\nLinks=2\n\n[Andere]\nx=1\n"},
        {"[FormMain]\r\nOben=1\r\n", "FormMain", "Links", "2", "[FormMain]\r\nOben=1\r\nLinks=2\r\n"},
        {"[FormMain]\r\nOben=1\r\n", "Neu", "k", "v", "[FormMain]\r\nOben=1\r\n[Neu]\r\nk=v\r\n"},
        {"[Andere]\nx=1", "FormMain", "Oben", "5", "[Andere]\nx=1\n[FormMain]\nOben=5\n"},
        {"[FormMain]", "FormMain", "Oben", "5", "[FormMain]\nOben=5\n"},
        {"[FormMain]\nOben=1", "FormMain", "Links", "2", "[FormMain]\nOben=1\nLinks=2\n"},
        {"[FormMain]\nOben=1", "FormMain", "Oben", "22", "[FormMain]\nOben=22"},
        {"\xEF\xBB\xBF[FormMain]\nOben=1\n", "FormMain", "Oben", "5", "\xEF\xBB\xBF[FormMain]\nOben=5\n"},
        {"[FormMain]\nOben=1\n[Andere]\nOben=1\n", "Andere", "Oben", "5", "[FormMain]\nOben=1\n[Andere]\nOben=5\n"},
        {"x\0\xFF\n[FormMain]\nOben=1\n\x80\n"s, "FormMain", "Oben", "", "x\0\xFF\n[FormMain]\nOben=\n\x80\n"s},
        {"", "FormMain", "Directory", "C:\\a\nOben=9", "[FormMain]\nDirectory=C:\\a\n"},
        {"", " FormMain ", " Oben ", "5", "[FormMain]\nOben=5\n"},
    };
    for (const WriteCase& c : cases) {
        const std::optional<std::string> after = SetIniValue(c.before, c.section, c.key, c.value);
        ASSERT_TRUE(after) << c.before;
        EXPECT_EQ(*after, c.after) << c.before;
        const std::string_view value = c.value.substr(0, c.value.find('\n'));
        EXPECT_EQ(FindIniValue(*after, c.section, c.key), std::string(value)) << c.before;
    }
}

TEST(PosixProfileTextTest, WritingTheSameKeysAgainNeverDuplicatesThem)
{
    std::string text;
    for (int round = 0; round < 3; ++round) {
        for (std::string_view key : {"Directory", "Status", "Oben", "Links", "Hoehe", "Breite"}) {
            text = SetIniValue(text, "FormMain", key, std::to_string(round)).value();
        }
    }
    EXPECT_EQ(text, "[FormMain]\nDirectory=2\nStatus=2\nOben=2\nLinks=2\nHoehe=2\nBreite=2\n");
}

TEST(PosixProfileTextTest, RefusesNamesThatNoLineCouldHold)
{
    const std::string_view sections[] = {"", "   ", "Form]Main", "Form\nMain", "Form\rMain"};
    for (std::string_view section : sections) {
        EXPECT_FALSE(SetIniValue("", section, "Oben", "1")) << section;
    }
    const std::string_view keys[] = {"", " ", "Ob=en", ";Oben", "[Oben", "Ob\nen", "Ob\ren"};
    for (std::string_view key : keys) {
        EXPECT_FALSE(SetIniValue("", "FormMain", key, "1")) << key;
    }
}

}  // namespace
}  // namespace quorvane::platform::posix
