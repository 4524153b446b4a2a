#include "engine/BatchRun.h"

#include "tests/support/FakeFileSystem.h"
#include "tests/support/FakeTextCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

// Batch runs on a file system that fails where real ones do: renames refused
// at random, listings that break off, renamed files met again, files that
// appear behind the user's back. Whatever happens, every file must exist
// exactly once afterwards, under its old name or its new one, and its row
// must say which.
namespace quorvane {
namespace {

constexpr const char* kFolder = "C:\\Musik";

std::string InFolder(const std::string& name) { return std::string(kFolder) + "\\" + name; }

std::string Describe(const std::vector<ResultRow>& rows)
{
    std::string text;
    for (const ResultRow& row : rows) text += row.Status + " | " + row.OldName + " | " + row.NewName + "\n";
    return text;
}

// Replays the rows on the names the folder held before the run: an "Ok" row
// moves its file to the new name, which must have been free, every other
// row leaves it where it was. The names that come out must be exactly the
// names the folder holds now, so no file is lost, doubled or renamed
// without its row saying so.
void ExpectRowsTellWhatHappened(const std::vector<std::string>& before, const std::vector<ResultRow>& rows,
                                const std::vector<std::string>& after, bool execute, bool complete)
{
    SCOPED_TRACE(Describe(rows));
    std::set<std::string> names(before.begin(), before.end());
    std::set<std::string> listed;
    std::set<std::string> given;
    for (const ResultRow& row : rows) {
        EXPECT_TRUE(row.Status == "Ok" || row.Status == "--" || row.Status == "Fehler") << row.Status;
        EXPECT_TRUE(listed.insert(row.OldName).second) << "two rows for " << row.OldName;
        // A file met under a name the run gave is never listed, so no file
        // is ever renamed twice; the folder tells case apart.
        EXPECT_EQ(given.count(row.OldName), 0u) << row.OldName;
        if (row.Status == "Ok") given.insert(row.NewName);
        if (row.Status == "--") {
            EXPECT_EQ(row.NewName, "");
        }
        if (row.Status != "Ok" || !execute || row.NewName == row.OldName) continue;
        EXPECT_EQ(names.erase(row.OldName), 1u) << row.OldName << " was not there to be renamed";
        EXPECT_TRUE(names.insert(row.NewName).second) << row.NewName << " was renamed onto another file";
    }
    EXPECT_EQ(std::set<std::string>(after.begin(), after.end()), names);
    EXPECT_EQ(after.size(), before.size());
    // Every file that was there gets its row, unless the listing broke off.
    if (complete) {
        for (const std::string& name : before) EXPECT_EQ(listed.count(name), 1u) << name << " has no row";
    }
}

// Names built from a few words, so that new names often meet old ones, in
// either letter case, and a few that cannot be cut at all.
std::vector<std::string> RandomNames(std::mt19937& random, std::size_t count)
{
    static const char* const kWords[] = {"a", "b", "c", "A", "B", "alpha", "Alpha"};
    std::uniform_int_distribution<std::size_t> word(0, std::size(kWords) - 1);
    std::uniform_int_distribution<int> sections(1, 4);
    std::set<std::string> names;
    while (names.size() < count) {
        std::string name;
        for (int s = sections(random); s > 0; --s) {
            name += std::string(name.empty() ? "" : " - ") + kWords[word(random)];
        }
        names.insert(name + ".mp3");
    }
    std::vector<std::string> shuffled(names.begin(), names.end());
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    return shuffled;
}

TEST(BatchRunFaultTest, RandomFailuresNeverLoseOrDoubleAFile)
{
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        testing::FakeFileSystem files;
        testing::FakeTextCase textCase;
        const std::vector<std::string> before = RandomNames(random, 3 + random() % 25);
        for (const std::string& name : before) files.AddFile(InFolder(name));

        files.SetRenamedEntriesReappear(random() % 4 != 0);
        for (std::size_t call = 1; call <= before.size(); ++call) {
            if (random() % 3 == 0) {
                files.FailMoveFileCall(call, random() % 2 == 0 ? platform::kErrorAccessDenied
                                                               : platform::kErrorSharingViolation);
            }
        }
        const bool complete = random() % 3 != 0;
        if (!complete) files.FailEnumerationAfter(random() % (before.size() + 2));

        RenameSettings settings;
        settings.Folder = kFolder;
        settings.SectionCount = 2 + static_cast<int>(random() % 2);
        settings.MapCells = settings.SectionCount == 2 ? std::vector<std::string>{"2", "1"}
                                                       : std::vector<std::string>{"3", "0", "1"};
        settings.CapitaliseWords = random() % 2 == 0;
        const bool execute = random() % 5 != 0;

        ResultList rows;
        RunBatch(settings, execute, rows, files, textCase);
        const std::vector<std::string> after = files.Names(kFolder);
        std::vector<ResultRow> listedRows = rows.Rows();
        if (listedRows.size() == 1 && listedRows[0].OldName.empty()) listedRows.clear();

        ExpectRowsTellWhatHappened(before, listedRows, after, execute, complete);
        EXPECT_EQ(files.OpenEnumerations(), 0u);
        if (!execute) {
            EXPECT_EQ(files.MoveFileCalls(), 0u);
        }
        if (::testing::Test::HasFailure()) break;
    }
}

TEST(BatchRunFaultTest, AnEnumerationThatBreaksOffListsOnlyWhatItDelivered)
{
    for (std::size_t limit : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE("entries delivered: " + std::to_string(limit));
        testing::FakeFileSystem files;
        testing::FakeTextCase textCase;
        for (const char* name : {"x - y.mp3", "p - q.mp3", "m - n.mp3"}) files.AddFile(InFolder(name));
        files.FailEnumerationAfter(limit);

        RenameSettings settings;
        settings.Folder = kFolder;
        settings.SectionCount = 2;
        settings.MapCells = {"2", "1"};
        ResultList rows;
        RunBatch(settings, true, rows, files, textCase);

        // A listing that fails before its first entry leaves the header and one empty row.
        const std::size_t listed = std::min<std::size_t>(limit, 3);
        ASSERT_EQ(rows.Rows().size(), std::max<std::size_t>(listed, 1));
        const std::vector<std::string> expected = {"Y - X.mp3", "Q - P.mp3", "N - M.mp3"};
        const auto listedEnd = static_cast<std::ptrdiff_t>(listed);
        for (std::size_t i = 0; i < listed; ++i) EXPECT_EQ(rows.Rows()[i].NewName, expected[i]);
        if (listed == 0) {
            EXPECT_EQ(rows.Rows()[0].Status, "");
        }
        std::vector<std::string> names = files.Names(kFolder);
        std::vector<std::string> expectedNames = {"x - y.mp3", "p - q.mp3", "m - n.mp3"};
        expectedNames.erase(expectedNames.begin(), expectedNames.begin() + listedEnd);
        expectedNames.insert(expectedNames.end(), expected.begin(), expected.begin() + listedEnd);
        EXPECT_EQ(names, expectedNames);
    }
}

TEST(BatchRunFaultTest, ATargetThatAppearsAfterThePreviewIsNeverReplaced)
{
    testing::FakeFileSystem files;
    testing::FakeTextCase textCase;
    files.AddFile(InFolder("beta - alpha.mp3"));
    files.AddFile(InFolder("delta - gamma.mp3"));
    RenameSettings settings;
    settings.Folder = kFolder;
    settings.SectionCount = 2;
    settings.MapCells = {"2", "1"};

    ResultList preview;
    RunBatch(settings, false, preview, files, textCase);
    ASSERT_EQ(preview.Rows().size(), 2u);
    EXPECT_EQ(preview.Rows()[0].Status, "Ok");
    EXPECT_EQ(preview.Rows()[0].NewName, "Alpha - Beta.mp3");

    // Another program puts a file of the previewed new name into the folder.
    files.AddFile(InFolder("Alpha - Beta.mp3"));
    ResultList rows;
    RunBatch(settings, true, rows, files, textCase);

    ASSERT_EQ(rows.Rows().size(), 3u) << Describe(rows.Rows());
    EXPECT_EQ(rows.Rows()[0].Status, "Fehler");
    EXPECT_EQ(rows.Rows()[0].OldName, "beta - alpha.mp3");
    EXPECT_EQ(rows.Rows()[1].Status, "Ok");
    EXPECT_EQ(rows.Rows()[1].NewName, "Gamma - Delta.mp3");
    // The newcomer did not get its name from this run, so it is a file like
    // any other, with its row.
    EXPECT_EQ(rows.Rows()[2].Status, "Ok");
    EXPECT_EQ(rows.Rows()[2].OldName, "Alpha - Beta.mp3");
    EXPECT_EQ(rows.Rows()[2].NewName, "Beta - Alpha.mp3");
    const std::vector<std::string> names = files.Names(kFolder);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              (std::set<std::string>{"beta - alpha.mp3", "Beta - Alpha.mp3", "Gamma - Delta.mp3"}));
}

}  // namespace
}  // namespace quorvane
