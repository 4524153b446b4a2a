#include "runtime/Conversions.h"

#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <limits>

namespace quorvane {
namespace {

struct Accepted {
    const char* text;
    std::int32_t value;
};

TEST(ConversionsTest, AcceptsDecimalAndDollarHexWithLeadingSpaces)
{
    const Accepted cases[] = {
        {"0", 0},
        {"3", 3},
        {"+300", 300},
        {"-0", 0},
        {"-1", -1},
        {"   7", 7},
        {"0007", 7},
        {"-0010", -10},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"00000000002147483647", 2147483647},
        {"$10", 16},
        {"$1f", 31},
        {"$1F", 31},
        {"  $A", 10},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", std::numeric_limits<std::int32_t>::min()},
        {"$FFFFFFFF", -1},
        {"$000000000001", 1},
    };
    for (const Accepted& c : cases) {
        std::int32_t value = 12345;
        EXPECT_TRUE(TryStrToInt(c.text, value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
        EXPECT_EQ(c.value, StrToInt(c.text)) << c.text;
    }
}

TEST(ConversionsTest, RefusesEverythingElseAndLeavesTheValue)
{
    const char* const cases[] = {
        "", " ", "   ", "1 ", " 1 ", "a", "1a", "1.5", "1,5", "\t1", "- 1", "+-1", "--1", "+", "-",
        "$", "$G", "$ 1", "-$1", "+$1", "$100000000", "$1FFFFFFFF", "2147483648", "-2147483649",
        "99999999999999999999", "0x10", "1e3", "\xc2\xa0" "1",
    };
    for (const char* text : cases) {
        std::int32_t value = 12345;
        EXPECT_FALSE(TryStrToInt(text, value)) << '"' << text << '"';
        EXPECT_EQ(12345, value) << text;
    }
}

TEST(ConversionsTest, StrToIntNamesTheTextInItsMessage)
{
    try {
        StrToInt("1 ");
        FAIL() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_EQ("'1 ' ist kein gültiger Integerwert", error.Message());
    }
    EXPECT_THROW(StrToInt(""), EConvertError);
}

TEST(ConversionsTest, IntToStrWritesPlainDecimal)
{
    EXPECT_EQ("0", IntToStr(0));
    EXPECT_EQ("-17", IntToStr(-17));
    EXPECT_EQ("-2147483648", IntToStr(std::numeric_limits<std::int32_t>::min()));
    EXPECT_EQ("2147483647", IntToStr(2147483647));
}

}  // namespace
}  // namespace quorvane
