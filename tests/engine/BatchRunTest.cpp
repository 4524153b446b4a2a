#include "engine/BatchRun.h"

#include "engine/NameRestructuring.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/FakeTextCase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>

namespace quorvane {

void PrintTo(const ResultRow& row, std::ostream* out)
{
    *out << '{' << row.Status << " | " << row.OldName << " | " << row.NewName << '}';
}

bool operator==(const ResultRow& a, const ResultRow& b)
{
    return a.Status == b.Status && a.OldName == b.OldName && a.NewName == b.NewName;
}

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

class BatchRunTest : public ::testing::Test {
protected:
    BatchRunTest() { m_settings.Folder = "C:\\Musik"; }

    void AddFiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names) m_files.AddFile(std::string("C:\\Musik\\") + name);
    }

    const std::vector<ResultRow>& Run(bool execute)
    {
        RunBatch(m_settings, execute, m_rows, m_files, m_textCase);
        return m_rows.Rows();
    }

    std::vector<std::string> Names() const { return m_files.Names("C:\\Musik"); }

    testing::FakeFileSystem m_files;
    testing::FakeTextCase m_textCase;
    RenameSettings m_settings;
    ResultList m_rows;
};

TEST_F(BatchRunTest, TestRunListsMatchingFilesInEnumerationOrderAndTouchesNothing)
{
    AddFiles({"gamma - beta - alpha.mp3", "readme.txt", "alpha - beta.mp3", "alpha - beta - gamma.MP3"});
    m_files.AddFile("C:\\Musik\\hidden - read - only.mp3", platform::faHidden | platform::faReadOnly);
    m_files.AddFolder("C:\\Musik\\folder - that - matches.mp3");
    m_files.AddFolder("C:\\Musik\\hidden - folder - matches.mp3", platform::faDirectory | platform::faHidden);

    EXPECT_THAT(Run(false), ElementsAre(ResultRow{"Ok", "gamma - beta - alpha.mp3", "Gamma - Alpha - Beta.mp3"},
                                        ResultRow{"--", "alpha - beta.mp3", ""},
                                        ResultRow{"Ok", "alpha - beta - gamma.MP3", "Alpha - Gamma - Beta.MP3"},
                                        ResultRow{"Ok", "hidden - read - only.mp3", "Hidden - Only - Read.mp3"}));
    // The preview also lists the whole folder once, to know which names are taken.
    EXPECT_THAT(m_files.Patterns(), ElementsAre("C:\\Musik\\*.mp3", "C:\\Musik\\*"));
    EXPECT_EQ(0u, m_files.MoveFileCalls());
    EXPECT_EQ(0u, m_files.OpenEnumerations());
}

TEST_F(BatchRunTest, ExecuteRunRenamesEveryOkFileOnceAndSkipsItWhenItComesBack)
{
    AddFiles({"alpha - beta - gamma.mp3", "no sections.mp3", "one - two - three.mp3"});

    EXPECT_THAT(Run(true), ElementsAre(ResultRow{"Ok", "alpha - beta - gamma.mp3", "Alpha - Gamma - Beta.mp3"},
                                       ResultRow{"--", "no sections.mp3", ""},
                                       ResultRow{"Ok", "one - two - three.mp3", "One - Three - Two.mp3"}));
    // The fake delivers both renamed files again at the end; restructured a
    // second time they would go back to their old order.
    EXPECT_THAT(Names(), ElementsAre("no sections.mp3", "Alpha - Gamma - Beta.mp3", "One - Three - Two.mp3"));
    EXPECT_THAT(m_files.Moves(),
                ElementsAre(Pair("C:\\Musik\\alpha - beta - gamma.mp3", "C:\\Musik\\Alpha - Gamma - Beta.mp3"),
                            Pair("C:\\Musik\\one - two - three.mp3", "C:\\Musik\\One - Three - Two.mp3")));
    EXPECT_EQ(0u, m_files.OpenEnumerations());
}

// Only a file met under a name the run gave (would give) is passed over, so
// every other matching file gets its row: on a folder that tells case apart
// the second spelling is a file of its own; where the folder ignores case
// it blocks the first rename, and both rows say so.
TEST_F(BatchRunTest, EveryMatchingFileGetsARowUnlessTheRunGaveItsName)
{
    struct Case {
        platform::NameCase nameCase;
        std::vector<ResultRow> rows;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {platform::NameCase::Exact,
         {{"Ok", "alpha - beta - gamma.mp3", "Alpha - Gamma - Beta.mp3"},
          {"Ok", "ALPHA - GAMMA - BETA.mp3", "Alpha - Beta - Gamma.mp3"},
          {"Ok", "x - y - z.mp3", "X - Z - Y.mp3"}},
         {"Alpha - Gamma - Beta.mp3", "Alpha - Beta - Gamma.mp3", "X - Z - Y.mp3"}},
        {platform::NameCase::IgnoreLetters,
         {{"Fehler", "alpha - beta - gamma.mp3", "Alpha - Gamma - Beta.mp3"},
          {"Fehler", "ALPHA - GAMMA - BETA.mp3", "Alpha - Beta - Gamma.mp3"},
          {"Ok", "x - y - z.mp3", "X - Z - Y.mp3"}},
         {"alpha - beta - gamma.mp3", "ALPHA - GAMMA - BETA.mp3", "X - Z - Y.mp3"}},
    };
    for (const Case& c : cases) {
        testing::FakeFileSystem files;
        files.SetFolderNameRules({.DotNamesHide = true, .Case = c.nameCase});
        for (const char* name : {"alpha - beta - gamma.mp3", "ALPHA - GAMMA - BETA.mp3", "x - y - z.mp3"}) {
            files.AddFile(std::string("C:\\Musik\\") + name);
        }
        for (const bool execute : {false, true}) {
            RunBatch(m_settings, execute, m_rows, files, m_textCase);
            EXPECT_EQ(c.rows, m_rows.Rows()) << (execute ? "execute run" : "test run");
        }
        // The renamed files came back under their new names and were passed over.
        EXPECT_EQ(c.names, files.Names("C:\\Musik"));
    }
}

TEST_F(BatchRunTest, CaseOnlyRenameIsDoneOnceWithoutStructureChange)
{
    m_settings.StructureChange = false;
    AddFiles({"hello world.mp3", "Done Already.mp3"});

    EXPECT_THAT(Run(true), ElementsAre(ResultRow{"Ok", "hello world.mp3", "Hello World.mp3"},
                                       ResultRow{"Ok", "Done Already.mp3", "Done Already.mp3"}));
    EXPECT_THAT(Names(), ElementsAre("Done Already.mp3", "Hello World.mp3"));
    EXPECT_EQ(2u, m_files.MoveFileCalls());
}

TEST_F(BatchRunTest, FailedRenamesShowFehlerAndKeepTheNewName)
{
    AddFiles({"alpha - beta - gamma.mp3", "alpha - beta - GAMMA.mp3", "a - b - c.mp3", "d - e - f.mp3"});
    m_files.FailMoveFileTo("C:\\Musik\\A - C - B.mp3", platform::kErrorAccessDenied);

    // Both files yield the same new name; the second rename finds it taken.
    EXPECT_THAT(Run(true), ElementsAre(ResultRow{"Ok", "alpha - beta - gamma.mp3", "Alpha - Gamma - Beta.mp3"},
                                       ResultRow{"Fehler", "alpha - beta - GAMMA.mp3", "Alpha - Gamma - Beta.mp3"},
                                       ResultRow{"Fehler", "a - b - c.mp3", "A - C - B.mp3"},
                                       ResultRow{"Ok", "d - e - f.mp3", "D - F - E.mp3"}));
    EXPECT_THAT(Names(), ElementsAre("alpha - beta - GAMMA.mp3", "a - b - c.mp3", "Alpha - Gamma - Beta.mp3",
                                     "D - F - E.mp3"));
}

// The preview plays the renames through in row order: names given up by
// earlier rows are free, names taken by them are taken, and the folder's
// rules hold, so it says "Fehler" exactly where the execute run fails.
TEST_F(BatchRunTest, TestRunForeseesEveryFailureOfTheExecuteRun)
{
    struct Case {
        const char* what;
        std::vector<std::string> files;
        std::vector<std::string> statuses;
        platform::FolderNameRules rules{.MaxNameLength = 255, .DotNamesHide = true};
        std::vector<std::string> mapCells = {"1", "3", "2"};
        std::string leadingText = {};
    };
    const platform::FolderNameRules linux{.MaxNameLength = 255, .DotNamesHide = true};
    const std::vector<std::string> rotation = {"2", "3", "1"};
    const Case cases[] = {
        {"two files yield one new name", {"a - b - c.mp3", "a - b - C.mp3"}, {"Ok", "Fehler"}},
        {"the new name exists", {"a - b - c.mp3", "A - C - B.mp3"}, {"Fehler", "Ok"}},
        {"a chain: the name is given up first", {"B - C - A.mp3", "a - b - c.mp3"}, {"Ok", "Ok"}, linux, rotation},
        {"a chain: the name is still taken", {"a - b - c.mp3", "B - C - A.mp3"}, {"Fehler", "Ok"}, linux, rotation},
        {"a name too long for the folder", {"a - b - c.mp3", "abcdefg - b - c.mp3"}, {"Ok", "Fehler"},
         {.MaxNameLength = 15, .DotNamesHide = true}},
        {"a folder that cannot be written", {"a - b - c.mp3", "D - E - E.mp3", "d - f - e.mp3"},
         {"Fehler", "Ok", "Fehler"}, {.Writable = false}},
        {"a name that would hide the file", {"a - b - c.mp3", ". - x - y.mp3"}, {"Fehler", "Ok"}, linux,
         {"1", "3", "2"}, "."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool execute : {false, true}) {
            testing::FakeFileSystem files;
            files.SetFolderNameRules(c.rules);
            for (const std::string& name : c.files) files.AddFile("C:\\Musik\\" + name);
            RenameSettings settings = m_settings;
            settings.MapCells = c.mapCells;
            settings.LeadingText = c.leadingText;
            ResultList rows;
            RunBatch(settings, execute, rows, files, m_textCase);
            std::vector<std::string> statuses;
            for (const ResultRow& row : rows.Rows()) statuses.push_back(row.Status);
            EXPECT_EQ(c.statuses, statuses) << (execute ? "execute run" : "test run");
        }
    }
}

// The preview follows the folder's file system: in a folder that ignores
// case, names taken and given up by earlier rows count in every spelling and
// a case-only change meets the file itself; characters, names beyond ASCII
// and trailing dots that the file system refuses, and files it keeps from
// being renamed, give "Fehler" in both runs.
TEST_F(BatchRunTest, ThePreviewFollowsTheFolderFileSystem)
{
    using platform::NameCase;
    struct Case {
        const char* what;
        platform::FolderNameRules rules;
        std::vector<std::string> files;
        std::vector<std::string> statuses;
        std::vector<std::string> mapCells = {"1", "3", "2"};
        std::string newSeparator = " - ";
        bool capitalise = false;
        std::vector<std::string> locked = {};
    };
    const platform::FolderNameRules exact{.DotNamesHide = true};
    const platform::FolderNameRules ignoring{.DotNamesHide = true, .Case = NameCase::IgnoreLetters};
    const platform::FolderNameRules ascii{.DotNamesHide = true, .Case = NameCase::IgnoreAscii};
    const platform::FolderNameRules fat{.ForbiddenCharacters = platform::kWindowsForbiddenCharacters,
                                        .DotNamesHide = true,
                                        .Case = NameCase::IgnoreAscii,
                                        .AsciiOnly = true,
                                        .RefusesTrailingDotOrBlank = true};
    const std::vector<std::string> dropLast = {"1", "3", "0"};
    const std::vector<std::string> rotation = {"2", "3", "1"};
    const Case cases[] = {
        {"new names meet in another spelling", ignoring, {"a - b - c.mp3", "A - x - C.mp3"}, {"Ok", "Fehler"}, dropLast},
        {"... which a Linux folder keeps apart", exact, {"a - b - c.mp3", "A - x - C.mp3"}, {"Ok", "Ok"}, dropLast},
        {"a name given up in another spelling", ignoring, {"B - C - A.mp3", "a - b - c.mp3"}, {"Ok", "Ok"}, rotation},
        {"a name taken in another spelling", ignoring, {"a - b - c.mp3", "b - C - a.mp3"}, {"Fehler", "Ok"}, rotation},
        {"umlauts meet where every letter counts", ignoring, {"\xC3\xA4 - b - c.mp3", "\xC3\x84 - x - c.mp3"},
         {"Ok", "Fehler"}, dropLast},
        {"... and not where only A to Z do", ascii, {"\xC3\xA4 - b - c.mp3", "\xC3\x84 - x - c.mp3"}, {"Ok", "Ok"},
         dropLast},
        {"a change of case only", ignoring, {"a - b - c.mp3", "x - y - z.mp3"}, {"Ok", "Ok"}, {"1", "2", "3"}, " - ",
         true},
        {"a separator FAT refuses", fat, {"a - b - c.mp3"}, {"Fehler"}, rotation, " : "},
        {"... which Linux takes", exact, {"a - b - c.mp3"}, {"Ok"}, rotation, " : "},
        {"a letter FAT through FUSE refuses", fat, {"a - b - c.mp3"}, {"Fehler"}, rotation, " \xC3\xA4 "},
        {"a trailing dot", fat, {"a - b - c.", "a - b - c.mp3"}, {"Fehler", "Ok"}, rotation},
        {"a file the system keeps", exact, {"a - b - c.mp3", "d - e - f.mp3"}, {"Fehler", "Ok"}, rotation, " - ",
         false, {"a - b - c.mp3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> names[2];
        for (const bool execute : {false, true}) {
            testing::FakeFileSystem files;
            files.SetFolderNameRules(c.rules);
            for (const std::string& name : c.files) files.AddFile("C:\\Musik\\" + name);
            for (const std::string& name : c.locked) files.LockFile("C:\\Musik\\" + name);
            RenameSettings settings = m_settings;
            settings.FileMask = "*";
            settings.MapCells = c.mapCells;
            settings.NewSeparator = c.newSeparator;
            settings.CapitaliseWords = c.capitalise;
            ResultList rows;
            RunBatch(settings, execute, rows, files, m_textCase);
            std::vector<std::string> statuses;
            for (const ResultRow& row : rows.Rows()) statuses.push_back(row.Status);
            EXPECT_EQ(c.statuses, statuses) << (execute ? "execute run" : "test run");
            // Only rows the preview would otherwise call "Ok" ask about the file itself.
            if (!execute) {
                EXPECT_EQ(c.locked.empty() ? 0u : c.locked.size() + 1, files.EntryQuestions());
            }
            names[execute] = files.Names("C:\\Musik");
        }
        EXPECT_EQ(names[0], c.files);
    }
}

TEST_F(BatchRunTest, NewNamesThatAreNoPlainFileNamesAreNeverRenamed)
{
    struct Case {
        std::string newSeparator;
        std::string leadingText = {};
        std::vector<std::string> mapCells;
        std::string file;
        std::string newName;
    };
    const std::vector<std::string> defaults = {"1", "3", "2"};
    const std::vector<std::string> zeros = {"0", "0", "0"};
    const Case cases[] = {
        {"/", "", defaults, "a - b - c.mp3", "A/C/B.mp3"},
        {" - ", "..\\Andere", defaults, "a - b - c.mp3", "..\\Andere - A - C - B.mp3"},
        {" - ", "sub/", defaults, "a - b - c.mp3", "sub/ - A - C - B.mp3"},
        {" - ", "", zeros, "a - b - c", ""},
        {" - ", ".", zeros, "a - b - c", "."},
        {" - ", "..", zeros, "a - b - c", ".."},
        {" - ", std::string("x\0y", 3), defaults, "a - b - c", std::string("x\0y - A - C - B", 15)},
    };
    for (const Case& c : cases) {
        testing::FakeFileSystem files;
        files.AddFolder("C:\\Musik\\sub");
        files.AddFolder("C:\\Andere");
        files.AddFile("C:\\Musik\\" + c.file);
        RenameSettings settings = m_settings;
        settings.FileMask = "*";
        settings.NewSeparator = c.newSeparator;
        settings.LeadingText = c.leadingText;
        settings.MapCells = c.mapCells;

        ResultList rows;
        RunBatch(settings, false, rows, files, m_textCase);
        EXPECT_THAT(rows.Rows(), ElementsAre(ResultRow{"Fehler", c.file, c.newName})) << c.newName;
        RunBatch(settings, true, rows, files, m_textCase);
        EXPECT_THAT(rows.Rows(), ElementsAre(ResultRow{"Fehler", c.file, c.newName})) << c.newName;
        EXPECT_EQ(0u, files.MoveFileCalls()) << c.newName;
        EXPECT_THAT(files.Names("C:\\Musik"), ElementsAre("sub", c.file)) << c.newName;
    }
}

TEST_F(BatchRunTest, NothingListedLeavesOneEmptyRowAfterAnEarlierRun)
{
    AddFiles({"a - b - c.mp3"});
    m_files.AddFolder("C:\\Leer");
    m_files.AddFolder("C:\\Musik\\sub");
    m_files.AddFile("C:\\Musik\\sub\\x - y - z.mp3");
    ASSERT_THAT(Run(false), ::testing::SizeIs(1));

    const auto runWith = [this](const char* folder, const char* mask) {
        m_settings.Folder = folder;
        m_settings.FileMask = mask;
        return Run(true);
    };
    const ResultRow empty{"", "", ""};
    EXPECT_THAT(runWith("C:\\Leer", "*.mp3"), ElementsAre(empty));
    EXPECT_THAT(runWith("C:\\Musik", "*.ogg"), ElementsAre(empty));
    EXPECT_THAT(runWith("C:\\Gibt es nicht", "*.mp3"), ElementsAre(empty));
    EXPECT_THAT(runWith("Q:\\", "*.mp3"), ElementsAre(empty));
    // A mask with a folder part would list another folder's files while the
    // renames went to same-named files of this one.
    EXPECT_THAT(runWith("C:\\Musik", "sub\\*.mp3"), ElementsAre(empty));
    EXPECT_THAT(runWith("C:\\Musik", "sub/*.mp3"), ElementsAre(empty));
    EXPECT_EQ(0u, m_files.MoveFileCalls());
    EXPECT_EQ(0u, m_files.OpenEnumerations());
}

TEST_F(BatchRunTest, MapErrorsEndTheRunBeforeAnythingIsListedOrWritten)
{
    AddFiles({"a - b - c.mp3"});
    ASSERT_THAT(Run(false), ::testing::SizeIs(1));
    const std::vector<ResultRow> before = m_rows.Rows();

    m_settings.MapCells = {"1", "4", "2"};
    try {
        Run(true);
        ADD_FAILURE() << "no map error";
    } catch (const SectionMapError& error) {
        EXPECT_EQ(2, error.Row());
        EXPECT_EQ("Wert außerhalb Gültigkeitsbereich: 4", error.Message());
    }
    m_settings.MapCells = {"1", "2", "2"};
    try {
        Run(true);
        ADD_FAILURE() << "no map error";
    } catch (const SectionMapError& error) {
        EXPECT_EQ(3, error.Row());
        EXPECT_EQ("Doppelter Wert: 2", error.Message());
    }
    m_settings.MapCells = {"1", "2", " 3 "};
    EXPECT_THROW(Run(true), EConvertError);

    EXPECT_EQ(before, m_rows.Rows());
    EXPECT_EQ(2u, m_files.FindFirstCalls()) << "only the first run listed the folder (and its names)";
    EXPECT_EQ(0u, m_files.MoveFileCalls());
}

TEST_F(BatchRunTest, WithoutStructureChangeBadMapCellsAreNotRead)
{
    m_settings.StructureChange = false;
    m_settings.SectionCount = 0;
    m_settings.MapCells = {"x"};
    AddFiles({"the_best - song.mp3"});
    EXPECT_THAT(Run(false), ElementsAre(ResultRow{"Ok", "the_best - song.mp3", "The Best - Song.mp3"}));
}

TEST_F(BatchRunTest, FolderPathGetsOneBackslash)
{
    struct Case {
        const char* folder;
        const char* path;
    };
    const Case cases[] = {{"C:\\", "C:\\"}, {"C:\\Musik\\", "C:\\Musik\\"}, {"C:\\Musik", "C:\\Musik\\"}};
    for (const Case& c : cases) {
        testing::FakeFileSystem files;
        const std::string path = c.path;
        files.AddFile(path + "a - b - c.mp3");
        m_settings.Folder = c.folder;
        ResultList rows;
        RunBatch(m_settings, true, rows, files, m_textCase);

        EXPECT_THAT(files.Patterns(), ElementsAre(path + "*.mp3"));
        EXPECT_THAT(files.Moves(), ElementsAre(Pair(path + "a - b - c.mp3", path + "A - C - B.mp3")));
        EXPECT_THAT(rows.Rows(), ElementsAre(ResultRow{"Ok", "a - b - c.mp3", "A - C - B.mp3"}));
    }
}

}  // namespace
}  // namespace quorvane
