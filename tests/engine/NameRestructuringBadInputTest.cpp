#include "engine/NameRestructuring.h"

#include "runtime/Exceptions.h"
#include "tests/support/FakeTextCase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What a user can type into the structure grid and the separator fields,
// however odd: the map gives a clear German message or a map, and a
// separator of any length cuts and joins names without losing a character.
namespace quorvane {
namespace {

TEST(NameRestructuringBadInputTest, OddMapCellsGiveTheirMessageOrAValue)
{
    const std::string manyDigits(400, '9');
    const std::string manyZeros = std::string(400, '0') + "2";
    const struct {
        std::string cell;
        int row;              // of the SectionMapError; 0 for a conversion error or a valid cell
        std::string message;  // empty when the cell is valid
    } cases[] = {
        {manyZeros, 0, ""},
        {"$" + manyZeros, 0, ""},
        {manyDigits, 0, "'" + manyDigits + "' ist kein gültiger Integerwert"},
        {"-" + manyDigits, 0, "'-" + manyDigits + "' ist kein gültiger Integerwert"},
        {"2147483647", 1, "Wert außerhalb Gültigkeitsbereich: 2147483647"},
        {"-2147483648", 1, "Wert außerhalb Gültigkeitsbereich: -2147483648"},
        {"2147483648", 0, "'2147483648' ist kein gültiger Integerwert"},
        {"$80000000", 1, "Wert außerhalb Gültigkeitsbereich: -2147483648"},
        {"$100000000", 0, "'$100000000' ist kein gültiger Integerwert"},
        {"%s", 0, "'%s' ist kein gültiger Integerwert"},
        {"%d%%", 0, "'%d%%' ist kein gültiger Integerwert"},
        {"2\t", 0, "'2\t' ist kein gültiger Integerwert"},
        {"\t2", 0, "'\t2' ist kein gültiger Integerwert"},
        {"\xef\xbc\x92", 0, "'\xef\xbc\x92' ist kein gültiger Integerwert"},  // a full-width digit two
        {"\xff\xfe", 0, "'\xff\xfe' ist kein gültiger Integerwert"},          // no valid UTF-8
        {"--2", 0, "'--2' ist kein gültiger Integerwert"},
        {"$-2", 0, "'$-2' ist kein gültiger Integerwert"},
        {"0x2", 0, "'0x2' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell.substr(0, 40));
        try {
            const SectionMap map = ValidateSectionMap({c.cell, "1"}, 2);
            EXPECT_EQ(c.message, "");
            EXPECT_EQ(map, (SectionMap{2, 1}));
        } catch (const SectionMapError& error) {
            EXPECT_EQ(error.Row(), c.row);
            EXPECT_EQ(error.Message(), c.message);
        } catch (const EConvertError& error) {
            EXPECT_EQ(c.row, 0);
            EXPECT_EQ(error.Message(), c.message);
        }
    }
}

TEST(NameRestructuringBadInputTest, SeparatorsOfAnyLengthCutAndJoinWithoutLosingText)
{
    const testing::FakeTextCase textCase;
    for (std::size_t length : {1u, 2u, 7u, 64u, 255u, 1000u}) {
        SCOPED_TRACE("separator of " + std::to_string(length));
        RenameSettings settings;
        settings.OldSeparator = std::string(length, '~');
        settings.NewSeparator = std::string(length, '+');
        settings.SectionCount = 2;
        settings.UnderscoreHandling = settings.CapitaliseWords = settings.EqualiseSpaces = false;
        const SectionMap swap = {2, 1};

        const std::string twoSections = "eins" + settings.OldSeparator + "zwei.mp3";
        const Restructuring swapped = RestructureName(twoSections, settings, swap, textCase);
        EXPECT_TRUE(swapped.Restructured);
        EXPECT_EQ(swapped.NewName, "zwei" + settings.NewSeparator + "eins.mp3");

        // Only separators: two empty sections, joined by one new separator.
        const Restructuring empty = RestructureName(settings.OldSeparator + ".mp3", settings, swap, textCase);
        EXPECT_TRUE(empty.Restructured);
        EXPECT_EQ(empty.NewName, settings.NewSeparator + ".mp3");

        // A separator longer than the name, or cut by the extension's dot, is not found.
        for (const std::string& name : {std::string("a~b.mp3"), settings.OldSeparator.substr(1) + ".mp3",
                                        "a" + settings.OldSeparator.substr(0, length - 1) + ".~b"}) {
            if (length == 1 && name == "a~b.mp3") continue;
            const Restructuring result = RestructureName(name, settings, swap, textCase);
            EXPECT_FALSE(result.Restructured) << name;
            EXPECT_EQ(result.NewName, "") << name;
        }

        // The leading text stands in front of the first separator, whatever its length.
        settings.LeadingText = std::string(length, 'L');
        const Restructuring led = RestructureName(twoSections, settings, swap, textCase);
        EXPECT_EQ(led.NewName,
                  settings.LeadingText + settings.NewSeparator + "zwei" + settings.NewSeparator + "eins.mp3");
    }
}

TEST(NameRestructuringBadInputTest, AnEmptyNewSeparatorJoinsTheSectionsDirectly)
{
    const testing::FakeTextCase textCase;
    RenameSettings settings;
    settings.NewSeparator.clear();
    const Restructuring result = RestructureName("alpha - beta - gamma.mp3", settings, {1, 3, 2}, textCase);
    EXPECT_TRUE(result.Restructured);
    EXPECT_EQ(result.NewName, "AlphaGammaBeta.mp3");

    settings.LeadingText = "Vorne";
    EXPECT_EQ(RestructureName("alpha - beta - gamma.mp3", settings, {1, 3, 2}, textCase).NewName,
              "VorneAlphaGammaBeta.mp3");
}

}  // namespace
}  // namespace quorvane
