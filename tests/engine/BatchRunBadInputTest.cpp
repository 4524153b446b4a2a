#include "engine/BatchRun.h"

#include "platform/posix/DriveNameSpace.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Settings and folders a user can hand a batch run that no name rule
// foresees: separators that make names too long or name other folders, and
// a folder that goes away while the run works in it. The rows say what
// happened, and no file is lost or moved out of its folder.
namespace quorvane {
namespace {

std::set<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A result table that lets something happen to the folder while the run
// writes its rows, the way another program may act at any moment.
class TInterferingTable final : public ResultTable {
public:
    explicit TInterferingTable(std::function<void()> onFirstRow) : m_onFirstRow(std::move(onFirstRow)) {}

    const std::vector<ResultRow>& Rows() const { return m_rows.Rows(); }

    void Start() override { m_rows.Start(); }
    void Add(const ResultRow& row) override
    {
        m_rows.Add(row);
        if (m_onFirstRow) std::exchange(m_onFirstRow, nullptr)();
    }
    void Finish() override { m_rows.Finish(); }

private:
    std::function<void()> m_onFirstRow;
    ResultList m_rows;
};

class BatchRunBadInputTest : public ::testing::Test {
protected:
    BatchRunBadInputTest()
    {
        const std::optional<std::string> name = platform::posix::FromUnixPath(m_folder.Path().string());
        if (name) m_settings.Folder = *name;
    }

    void SetUp() override { ASSERT_FALSE(m_settings.Folder.empty()) << m_folder.Path(); }

    testing::TempFolder m_folder;
    RenameSettings m_settings;
};

TEST_F(BatchRunBadInputTest, NewNamesTheSystemRefusesLeaveTheFilesAndSayFehler)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3", "inhalt");
    const struct {
        const char* what;
        std::string newSeparator;
        std::string leadingText;
    } cases[] = {
        {"a name longer than 255 bytes", std::string(200, '='), ""},
        {"a separator that names a subfolder", "\\", ""},
        {"a separator with a slash", " / ", ""},
        {"a leading text that climbs out of the folder", " - ", "..\\..\\weg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_settings.NewSeparator = c.newSeparator;
        m_settings.LeadingText = c.leadingText;
        ResultList rows;
        RunBatch(m_settings, true, rows);
        ASSERT_EQ(rows.Rows().size(), 1u);
        EXPECT_EQ(rows.Rows()[0].Status, "Fehler");
        EXPECT_EQ(rows.Rows()[0].OldName, "alpha - beta - gamma.mp3");
        EXPECT_EQ(NamesIn(m_folder.Path()), std::set<std::string>{"alpha - beta - gamma.mp3"});
    }
    EXPECT_EQ(testing::FileContent(m_folder.Path() / "alpha - beta - gamma.mp3"), "inhalt");
    EXPECT_EQ(NamesIn(m_folder.Path().parent_path()).count("weg - Alpha - Gamma - Beta.mp3"), 0u);
}

TEST_F(BatchRunBadInputTest, AFolderMovedAwayDuringTheRunKeepsEveryFile)
{
    for (const char* name : {"a - b - c.mp3", "d - e - f.mp3", "g - h - i.mp3", "j - k - l.mp3"}) {
        m_folder.CreateFile(name, name);
    }
    const std::filesystem::path moved = m_folder.Path() / "verschoben";
    const std::filesystem::path inside = m_folder.Path() / "ordner";
    std::filesystem::create_directory(inside);
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
        if (entry.is_regular_file()) std::filesystem::rename(entry.path(), inside / entry.path().filename());
    }
    m_settings.Folder += "\\ordner";

    TInterferingTable rows([&] { std::filesystem::rename(inside, moved); });
    RunBatch(m_settings, true, rows);

    // The first file was renamed before its row was written; nothing after
    // it can be renamed any more, and the rows that follow say so.
    ASSERT_FALSE(rows.Rows().empty());
    EXPECT_EQ(rows.Rows()[0].Status, "Ok");
    std::set<std::string> expected = {"a - b - c.mp3", "d - e - f.mp3", "g - h - i.mp3", "j - k - l.mp3"};
    for (const ResultRow& row : rows.Rows()) {
        if (row.Status == "Ok") {
            expected.erase(row.OldName);
            expected.insert(row.NewName);
        } else {
            EXPECT_EQ(row.Status, "Fehler") << row.OldName;
        }
    }
    EXPECT_EQ(NamesIn(moved), expected);
    EXPECT_FALSE(std::filesystem::exists(inside));
}

TEST_F(BatchRunBadInputTest, AFolderThatIsGoneListsNothingAndSaysNothing)
{
    const std::string folder = m_settings.Folder;
    m_settings.Folder += "\\fehlt";
    ResultList rows;
    RunBatch(m_settings, true, rows);
    ASSERT_EQ(rows.Rows().size(), 1u);
    EXPECT_EQ(rows.Rows()[0].Status, "");
    EXPECT_EQ(rows.Rows()[0].OldName, "");

    // A mask with a folder part lists nothing either, rather than the files of another folder.
    m_folder.CreateFile("sub/x - y - z.mp3");
    m_settings.Folder = folder;
    m_settings.FileMask = "sub\\*.mp3";
    RunBatch(m_settings, true, rows);
    ASSERT_EQ(rows.Rows().size(), 1u);
    EXPECT_EQ(rows.Rows()[0].OldName, "");
}

TEST_F(BatchRunBadInputTest, AFileDeletedDuringTheRunIsListedWithFehlerOrNotAtAll)
{
    m_folder.CreateFile("a - b - c.mp3");
    m_folder.CreateFile("d - e - f.mp3");
    std::string deleted;
    TInterferingTable rows([&] {
        deleted = NamesIn(m_folder.Path()).count("a - b - c.mp3") != 0 ? "a - b - c.mp3" : "d - e - f.mp3";
        std::filesystem::remove(m_folder.Path() / deleted);
    });
    RunBatch(m_settings, true, rows);

    // Whether the listing still delivers the deleted file is the system's matter.
    ASSERT_GE(rows.Rows().size(), 1u);
    ASSERT_LE(rows.Rows().size(), 2u);
    EXPECT_EQ(rows.Rows()[0].Status, "Ok");
    if (rows.Rows().size() == 2) {
        EXPECT_EQ(rows.Rows()[1].OldName, deleted);
        EXPECT_EQ(rows.Rows()[1].Status, "Fehler");
    }
    EXPECT_EQ(NamesIn(m_folder.Path()), std::set<std::string>{rows.Rows()[0].NewName});
}

}  // namespace
}  // namespace quorvane
