#include "engine/NameRestructuring.h"

#include "tests/support/FakeTextCase.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

namespace quorvane {
namespace {

TEST(NameRestructuringTest, ExtensionStartsAtTheLastDotUnlessAColonOrBackslashFollows)
{
    struct Case {
        const char* name;
        const char* base;
        const char* extension;
    };
    const Case cases[] = {
        {"alpha.mp3", "alpha", ".mp3"},
        {"a.b - c.d.MP3", "a.b - c.d", ".MP3"},
        {"no extension", "no extension", ""},
        {".mp3", "", ".mp3"},
        {"ends with dot.", "ends with dot", "."},
        {"", "", ""},
        {"folder.x\\name", "folder.x\\name", ""},
        {"a.b:c", "a.b:c", ""},
        {"a:b.c", "a:b", ".c"},
    };
    for (const Case& c : cases) {
        const SplitName split = SplitExtension(c.name);
        EXPECT_EQ(c.base, split.Base) << c.name;
        EXPECT_EQ(c.extension, split.Extension) << c.name;
    }
}

TEST(NameRestructuringTest, ValidatesTheMapRowByRowAndStopsAtTheFirstBadRow)
{
    struct Case {
        std::vector<std::string> cells;
        int count;
        SectionMap map;        // when valid
        int row;               // of the SectionMapError; 0 for a conversion error
        const char* message;   // of the error; nullptr when valid
    };
    const Case cases[] = {
        {{"1", "3", "2"}, 3, {1, 3, 2}, 0, nullptr},
        {{"0", "0", "0"}, 3, {0, 0, 0}, 0, nullptr},
        {{"  2", "$1", "+0"}, 3, {2, 1, 0}, 0, nullptr},
        {{"1", "2", "x"}, 2, {1, 2}, 0, nullptr},
        {{"10", "9", "8", "7", "6", "5", "4", "3", "2", "$1"}, 10, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 0, nullptr},
        {{"4", "1", "2"}, 3, {}, 1, "Wert außerhalb Gültigkeitsbereich: 4"},
        {{"1", "-1", "2"}, 3, {}, 2, "Wert außerhalb Gültigkeitsbereich: -1"},
        {{"1", "2", "$FFFFFFFF"}, 3, {}, 3, "Wert außerhalb Gültigkeitsbereich: -1"},
        {{"1", "2", "1"}, 3, {}, 3, "Doppelter Wert: 1"},
        {{"2", "0", "2"}, 3, {}, 3, "Doppelter Wert: 2"},
        {{"5", "x", "1"}, 3, {}, 1, "Wert außerhalb Gültigkeitsbereich: 5"},
        {{"1", "", "2"}, 3, {}, 0, "'' ist kein gültiger Integerwert"},
        {{"1 ", "2", "3"}, 3, {}, 0, "'1 ' ist kein gültiger Integerwert"},
        {{"zwei", "1"}, 2, {}, 0, "'zwei' ist kein gültiger Integerwert"},
        {{"1", "1", "x"}, 3, {}, 2, "Doppelter Wert: 1"},
        // A map shorter than the count reads the missing cells as empty ones.
        {{"1", "2"}, 3, {}, 0, "'' ist kein gültiger Integerwert"},
    };
    for (const Case& c : cases) {
        const std::string label = ::testing::PrintToString(c.cells) + " for " + std::to_string(c.count);
        try {
            const SectionMap map = ValidateSectionMap(c.cells, c.count);
            EXPECT_EQ(nullptr, c.message) << label;
            EXPECT_EQ(c.map, map) << label;
        } catch (const SectionMapError& error) {
            EXPECT_EQ(c.row, error.Row()) << label;
            EXPECT_EQ(c.message ? c.message : "", error.Message()) << label;
        } catch (const EConvertError& error) {
            EXPECT_EQ(0, c.row) << label;
            EXPECT_EQ(c.message ? c.message : "", error.Message()) << label;
        }
    }
}

TEST(NameRestructuringTest, RefusesSectionCountsOutsideTwoToTen)
{
    for (const int count : {-1, 0, 1, 11, 1000}) {
        const std::vector<std::string> cells(11, "0");
        try {
            ValidateSectionMap(cells, count);
            ADD_FAILURE() << count << " accepted";
        } catch (const Exception& error) {
            EXPECT_EQ(typeid(Exception), typeid(error)) << count;
            EXPECT_EQ("Anzahl Abschnitte außerhalb Gültigkeitsbereich (2 bis 10): " + std::to_string(count),
                      error.Message());
        }
    }
}

struct RestructureCase {
    const char* label;
    std::function<void(RenameSettings&)> adjust;
    const char* fileName;
    bool restructured;
    const char* newName;
};

void ExpectRestructuring(const std::vector<RestructureCase>& cases)
{
    const testing::FakeTextCase textCase;
    for (const RestructureCase& c : cases) {
        RenameSettings settings;
        if (c.adjust) c.adjust(settings);
        const SectionMap map = settings.StructureChange ? ValidateSectionMap(settings.MapCells, settings.SectionCount)
                                                        : SectionMap{};
        const Restructuring result = RestructureName(c.fileName, settings, map, textCase);
        EXPECT_EQ(c.restructured, result.Restructured) << c.label;
        EXPECT_EQ(c.newName, result.NewName) << c.label;
    }
}

auto Map(std::vector<std::string> cells)
{
    return [cells](RenameSettings& s) {
        s.SectionCount = static_cast<int>(cells.size());
        s.MapCells = cells;
    };
}

TEST(NameRestructuringTest, CutsCleansReordersAndJoinsTheSections)
{
    ExpectRestructuring({
        {"defaults", nullptr, "alpha - beta - gamma.mp3", true, "Alpha - Gamma - Beta.mp3"},
        {"leading text", [](RenameSettings& s) { s.LeadingText = "Best of"; }, "alpha - beta - gamma.mp3", true,
         "Best of - Alpha - Gamma - Beta.mp3"},
        {"new separator", [](RenameSettings& s) { s.NewSeparator = "_"; }, "alpha - beta - gamma.mp3", true,
         "Alpha_Gamma_Beta.mp3"},
        {"separators and leading text are never cleaned",
         [](RenameSettings& s) {
             s.NewSeparator = " x_ ";
             s.LeadingText = "  lead___";
         },
         "alpha - beta - gamma.mp3", true, "  lead___ x_ Alpha x_ Gamma x_ Beta.mp3"},
        {"fewer sections", nullptr, "alpha - beta.mp3", false, ""},
        {"excess sections stay in the last one", nullptr, "a - b - c - d_d.mp3", true, "A - C - D D - B.mp3"},
        {"excess sections refused", [](RenameSettings& s) { s.IgnoreExcessSections = false; },
         "a - b - c - d.mp3", false, ""},
        {"exact count with excess refused", [](RenameSettings& s) { s.IgnoreExcessSections = false; },
         "a - b - c.mp3", true, "A - C - B.mp3"},
        {"empty old separator", [](RenameSettings& s) { s.OldSeparator.clear(); }, "a - b - c.mp3", false, ""},
        {"empty section in the middle", nullptr, "a -  - c.mp3", true, "A - C - .mp3"},
        {"empty first section", nullptr, " - b - c.mp3", true, " - C - B.mp3"},
        {"map of zeros", Map({"0", "0", "0"}), "a - b - c.mp3", true, ".mp3"},
        {"map of zeros with leading text",
         [](RenameSettings& s) {
             Map({"0", "0", "0"})(s);
             s.LeadingText = "X";
         },
         "a - b - c.mp3", true, "X.mp3"},
        {"dropped positions", Map({"0", "2", "0"}), "a - b - c.mp3", true, "B.mp3"},
        {"last position only", Map({"0", "0", "1"}), "a - b - c.mp3", true, "A.mp3"},
        {"two sections", Map({"2", "1"}), "a - b - c.mp3", true, "B - C - A.mp3"},
        {"ten sections", Map({"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}),
         "a - b - c - d - e - f - g - h - i - j.ogg", true, "J - I - H - G - F - E - D - C - B - A.ogg"},
        {"dots inside sections", nullptr, "a.b - c.d - e.mp3", true, "A.b - E - C.d.mp3"},
        {"no extension", nullptr, "a - b - c", true, "A - C - B"},
        {"extension keeps its case", nullptr, "a - b - c.MP3", true, "A - C - B.MP3"},
        {"only an extension", nullptr, ".mp3", false, ""},
        {"case-sensitive old separator",
         [](RenameSettings& s) {
             Map({"2", "1"})(s);
             s.OldSeparator = "X";
             s.NewSeparator = "+";
         },
         "axbXc.mp3", true, "C+Axb.mp3"},
        {"separator only in other case",
         [](RenameSettings& s) {
             Map({"2", "1"})(s);
             s.OldSeparator = "X";
         },
         "axbxc.mp3", false, ""},
        {"cleaning switches off",
         [](RenameSettings& s) {
             s.UnderscoreHandling = false;
             s.CapitaliseWords = false;
             s.EqualiseSpaces = false;
         },
         "the_a -  b  - c.mp3", true, "the_a - c -  b .mp3"},
    });
}

TEST(NameRestructuringTest, WithoutStructureChangeOnlyTheWholeBaseNameIsCleaned)
{
    const auto off = [](RenameSettings& s) {
        s.StructureChange = false;
        s.MapCells = {"x", "", "99"};
        s.OldSeparator.clear();
    };
    ExpectRestructuring({
        {"whole name", off, "the BEST_song - live.MP3", true, "The Best Song - Live.MP3"},
        {"unchanged name", off, "Already Clean.mp3", true, "Already Clean.mp3"},
        {"only an extension", off, ".mp3", true, ".mp3"},
        {"no extension", off, "readme", true, "Readme"},
    });
}

TEST(NameRestructuringTest, AMapThatDoesNotFitTheCountRestructuresNothing)
{
    const testing::FakeTextCase textCase;
    struct Case {
        int count;
        SectionMap map;
    };
    const Case cases[] = {
        {3, {1, 2}}, {3, {}}, {3, {1, 2, 4}}, {3, {-1, 1, 2}}, {1, {1}}, {0, {}}, {11, SectionMap(11, 1)}, {-5, {1}},
    };
    for (const Case& c : cases) {
        RenameSettings settings;
        settings.SectionCount = c.count;
        const Restructuring result = RestructureName("a - b - c - d - e - f - g - h - i - j - k.mp3", settings, c.map,
                                                     textCase);
        EXPECT_FALSE(result.Restructured) << c.count << ' ' << ::testing::PrintToString(c.map);
        EXPECT_EQ("", result.NewName);
    }
}

}  // namespace
}  // namespace quorvane
