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
        {"[A]\nOben=1\n[FormMain]\nLinks=2\n", "FormMain", "Oben", std::nullopt},
        {"[A]\nOben=1\n[FormMain]\nOben=2\n", "FormMain", "Oben", "2"},
        {"[FormMain]\nDirectory=\n", "FormMain", "Directory", ""},
        {"  [ FormMain ]  \n \t Oben \t=  12 34 \t\n", "FormMain", "Oben", "12 34"},
        {"[FormMain]\r\nOben=7\r\nLinks=8\r\n", "FormMain", "Oben", "7"},
        {"\xEF\xBB\xBF[FormMain]\nOben=7\n", "FormMain", "Oben", "7"},
        {"[FormMain]\nDirectory=\"C:\\Musik\"\n", "FormMain", "Directory", "C:\\Musik"},
        {"[FormMain]\nDirectory=\"C:\\Musik'\n", "FormMain", "Directory", "\"C:\\Musik'"},
        {"[FormMain]\nDirectory=C:\\a=b\n", "FormMain", "Directory", "C:\\a=b"},
        {"[FormMain]\n;Oben=1\nOben\nOben=2\n", "FormMain", "Oben", "2"},
        {"[FormMain]\nOben=1\nOben=2\n", "FormMain", "Oben", "1"},
        {"[FormMain]\n[Kaputt\nOben=1\n", "FormMain", "Oben", std::nullopt},
        {"[FormMain]\nDirectory=C:\\M\xC3\xBCsik\xA0\n", "FormMain", "Directory", "C:\\M\xC3\xBCsik\xA0"},
        {"[FormMain]\n\0\xFF=\x01\nOben=a\0b\n"s, "FormMain", "Oben", "a\0b"s},
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
        {"[Andere]\nx=1", "FormMain", "Oben", "5", "[Andere]\nx=1\n[FormMain]\nOben=5\n"},
        {"[FormMain]\nOben=1", "FormMain", "Links", "2", "[FormMain]\nOben=1\nLinks=2\n"},
        {"[FormMain]\nOben=1", "FormMain", "Oben", "22", "[FormMain]\nOben=22"},
        {"\xEF\xBB\xBF[FormMain]\nOben=1\n", "FormMain", "Oben", "5", "\xEF\xBB\xBF[FormMain]\nOben=5\n"},
        {"x\0\xFF\n[FormMain]\nOben=1\n\x80\n"s, "FormMain", "Oben", "", "x\0\xFF\n[FormMain]\nOben=\n\x80\n"s},
        {"", "FormMain", "Directory", "C:\\a\nOben=9", "[FormMain]\nDirectory=C:\\a\n"},
        {"", "FormMain", "Directory", "Z:\\tmp\\Lied ", "[FormMain]\nDirectory=\"Z:\\tmp\\Lied \"\n"},
        {"", "FormMain", "Directory", "'x'", "[FormMain]\nDirectory=\"'x'\"\n"},
    };
    for (const WriteCase& c : cases) {
        const std::optional<std::string> after = SetIniValue(c.before, c.section, c.key, c.value);
        ASSERT_TRUE(after) << c.before;
        EXPECT_EQ(*after, c.after) << c.before;
        const std::string_view value = c.value.substr(0, c.value.find('\n'));
        EXPECT_EQ(FindIniValue(*after, c.section, c.key), std::string(value)) << c.before;
    }
}

TEST(PosixProfileTextTest, RefusesNamesThatNoLineCouldHold)
{
    for (std::string_view section : {"", "   ", "Form]Main", "Form\nMain"}) {
        EXPECT_FALSE(SetIniValue("", section, "Oben", "1")) << section;
    }
    for (std::string_view key : {"", "Ob=en", ";Oben", "[Oben", "Ob\ren"}) {
        EXPECT_FALSE(SetIniValue("", "FormMain", key, "1")) << key;
    }
}

}  // namespace
}  // namespace quorvane::platform::posix
