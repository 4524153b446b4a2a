#include "engine/UndoRecord.h"

#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Undoing the last execute run on real folders: every file the run renamed
// gets its old name back with its content, the last rename first, and a
// file that cannot get it back stays where it is and says "Fehler".
namespace quorvane {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;

std::map<std::string, std::string> Contents(const testing::TempFolder& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : folder.Names()) contents[name] = testing::FileContent(folder.Path() / name);
    return contents;
}

class UndoRecordFolderTest : public ::testing::Test {
protected:
    UndoRecordFolderTest() { m_settings.Folder = m_folder.Name(); }

    void Execute()
    {
        ResultList rows;
        UndoRecordingTable table(rows, m_record, m_settings.Folder);
        RunBatch(m_settings, true, table);
        m_runRows = rows.Rows();
    }

    std::vector<ResultRow> Undo()
    {
        ResultList rows;
        UndoRenames(m_record, rows);
        return rows.Rows();
    }

    testing::TempFolder m_folder;
    RenameSettings m_settings;
    UndoRecord m_record;
    std::vector<ResultRow> m_runRows;
};

TEST_F(UndoRecordFolderTest, EveryRenamedFileGetsItsNameAndContentBack)
{
    m_settings.MapCells = {"2", "3", "1"};
    // A chain, when the folder lists the first file first: the second file
    // takes the name the first one gives up, so only the last rename first
    // brings both back.
    m_folder.CreateFile("B - C - A.mp3", "first");
    m_folder.CreateFile("a - b - c.mp3", "second");
    m_folder.CreateFile("hello - wide - world.mp3", "third");
    m_folder.CreateFile("one - two - three.mp3", "sixth");
    m_folder.CreateFile("no sections.mp3", "fourth");
    m_folder.CreateFile("x - y - z.mp3", "fifth");
    m_folder.CreateFile("Y - Z - X.mp3", "in the way");
    const std::map<std::string, std::string> before = Contents(m_folder);

    Execute();
    std::vector<ResultRow> expected;
    for (auto row = m_runRows.rbegin(); row != m_runRows.rend(); ++row) {
        if (row->Status == "Ok" && row->OldName != row->NewName) expected.push_back({"Ok", row->NewName, row->OldName});
    }
    ASSERT_GE(expected.size(), 2u);
    EXPECT_EQ(m_record.Renames().size(), expected.size());
    EXPECT_NE(Contents(m_folder), before);

    const std::vector<ResultRow> rows = Undo();
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_THAT(rows[i], FieldsAre(expected[i].Status, expected[i].OldName, expected[i].NewName));
    }
    EXPECT_EQ(Contents(m_folder), before);
    EXPECT_TRUE(m_record.Empty());
}

TEST_F(UndoRecordFolderTest, AFileThatIsGoneOrWhoseNameIsTakenSaysFehler)
{
    m_folder.CreateFile("a - b - c.mp3", "gone");
    m_folder.CreateFile("d - e - f.mp3", "taken");
    m_folder.CreateFile("g - h - i.mp3", "back");
    Execute();
    ASSERT_EQ(m_record.Renames().size(), 3u);

    std::filesystem::remove(m_folder.Path() / "A - C - B.mp3");
    m_folder.CreateFile("d - e - f.mp3", "newcomer");
    std::map<std::string, ResultRow> rows;
    for (const ResultRow& row : Undo()) rows[row.OldName] = row;

    EXPECT_THAT(rows["A - C - B.mp3"], FieldsAre("Fehler", "A - C - B.mp3", "a - b - c.mp3"));
    EXPECT_THAT(rows["D - F - E.mp3"], FieldsAre("Fehler", "D - F - E.mp3", "d - e - f.mp3"));
    EXPECT_THAT(rows["G - I - H.mp3"], FieldsAre("Ok", "G - I - H.mp3", "g - h - i.mp3"));
    EXPECT_EQ(Contents(m_folder), (std::map<std::string, std::string>{
                                      {"D - F - E.mp3", "taken"}, {"d - e - f.mp3", "newcomer"}, {"g - h - i.mp3", "back"}}));

    // A run that renames nothing leaves nothing to undo.
    m_settings.MapCells = {"1", "2", "3"};
    m_settings.CapitaliseWords = false;
    Execute();
    EXPECT_TRUE(m_record.Empty());
}

}  // namespace
}  // namespace quorvane
