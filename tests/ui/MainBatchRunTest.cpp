#include "ui/Main.h"

#include "app/Application.h"
#include "framework/StdCtrls.h"
#include "platform/posix/DriveNameSpace.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"
#include "widgets/FileCtrl.h"
#include "widgets/Grids.h"
#include "widgets/Spin.h"

#include <QApplication>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The main window on a folder of its own, driven through its buttons as a
// user drives it.
class MainBatchRunTest : public ::testing::Test {
protected:
    MainBatchRunTest()
    {
        Application().SetTitle("Quorvane V1.24");
        Application().CreateForm(FormMain);
        FormMain->Show();
        QApplication::setActiveWindow(FormMain);
        FormMain->DirectoryListBox1->SetFolderPath(*platform::posix::FromUnixPath(m_folder.Path().string()));
        m_structure = FormMain->findChild<TStringGrid*>("StringGrid1");
        m_result = FormMain->findChild<TStringGrid*>("StringGrid2");
    }
    // The folder list leaves the process in the folder it shows; it moves out
    // before the folder goes, or the next list could not enter its drive.
    ~MainBatchRunTest() override
    {
        FormMain->DirectoryListBox1->SetFolderPath(
            *platform::posix::FromUnixPath(m_folder.Path().parent_path().string()));
        Application().ReleaseForms();
    }

    void Click(const char* button)
    {
        auto* control = FormMain->findChild<TButton*>(button);
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }

    Rows Result() const
    {
        Rows rows;
        for (int row = 0; row < m_result->RowCount(); ++row) {
            rows.push_back({m_result->Cells(0, row), m_result->Cells(1, row), m_result->Cells(2, row)});
        }
        return rows;
    }

    testing::TempFolder m_folder;
    TStringGrid* m_structure = nullptr;
    TStringGrid* m_result = nullptr;
};

const std::vector<std::string> kHeader = {"Ergebnis", "alt", "neu"};

TEST_F(MainBatchRunTest, TestenShowsTheNewNameAndAusfuehrenRenames)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3");
    m_folder.CreateFile("notes.txt");
    const Rows expected = {kHeader, {"Ok", "alpha - beta - gamma.mp3", "Alpha - Gamma - Beta.mp3"}};

    Click("Button1");
    EXPECT_EQ(Result(), expected);
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"alpha - beta - gamma.mp3", "notes.txt"}));

    Click("Button2");
    EXPECT_EQ(Result(), expected);
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"Alpha - Gamma - Beta.mp3", "notes.txt"}));
}

// The run reads every setting from the controls as they stand at the click.
TEST_F(MainBatchRunTest, TheRunTakesTheControlsAsTheyStand)
{
    m_folder.CreateFile("eins_zwei.txt");
    m_folder.CreateFile("drei_vier.mp3");
    FormMain->findChild<TEdit*>("Edit1")->SetText("*.txt");
    FormMain->findChild<TEdit*>("Edit2")->SetText("_");
    FormMain->findChild<TEdit*>("Edit3")->SetText("+");
    FormMain->findChild<TEdit*>("Edit4")->SetText("x");
    auto* spin = FormMain->findChild<TSpinEdit*>("SpinEdit1");
    spin->SetValue(2);
    m_structure->SetCells(1, 1, "2");
    m_structure->SetCells(1, 2, "1");
    Click("Button1");
    EXPECT_EQ(Result(), (Rows{kHeader, {"Ok", "eins_zwei.txt", "x+Zwei+Eins.txt"}}));

    FormMain->findChild<TCheckBox*>("CheckBox1")->SetChecked(false);
    m_structure->SetCells(1, 1, "kein Wert");
    Click("Button1");
    EXPECT_EQ(Result()[1][0], "Ok") << "without the structure change the map is not read";
}

TEST_F(MainBatchRunTest, NothingListedLeavesOneEmptyRow)
{
    m_folder.CreateFile("a - b - c.mp3");
    m_folder.CreateFile("d - e - f.mp3");
    Click("Button1");
    EXPECT_EQ(m_result->RowCount(), 3);
    FormMain->findChild<TEdit*>("Edit1")->SetText("*.wav");
    Click("Button1");
    EXPECT_EQ(Result(), (Rows{kHeader, {"", "", ""}}));
}

// The failing cell is selected while the message is on the screen, and the
// rows of the previous run stay; a cell that is no number selects nothing.
TEST_F(MainBatchRunTest, AMapErrorSelectsTheFailingCellBeforeTheMessage)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3");
    Click("Button1");
    const Rows previous = Result();

    struct Case {
        const char* cell;
        const char* message;
        TGridCoord selected;
    };
    const std::vector<Case> table = {
        {"1", "Doppelter Wert: 1.", {1, 3}},
        {"7", "Wert außerhalb Gültigkeitsbereich: 7.", {1, 3}},
        {"x", "'x' ist kein gültiger Integerwert.", {1, 1}},
    };
    for (const Case& test : table) {
        SCOPED_TRACE(test.cell);
        m_structure->SetCol(1);
        m_structure->SetRow(1);
        m_structure->SetCells(1, 3, test.cell);
        testing::MessageBoxRecorder boxes;
        TGridCoord atMessage;
        boxes.OnShow = [&](const TMessageBoxRequest&) { atMessage = {m_structure->Col(), m_structure->Row()}; };
        Click("Button1");
        ASSERT_EQ(boxes.Requests().size(), 1u);
        EXPECT_EQ(boxes.Requests()[0], (TMessageBoxRequest{"Quorvane V1.24", test.message, mtError, {"OK"}}));
        EXPECT_EQ(atMessage, test.selected);
        EXPECT_EQ(Result(), previous);
    }
}

// Linux folder names may hold what Windows names cannot, and may differ only
// in case on a volume that tells case apart. Each folder is opened from the
// list as the user opens it and its file renamed there.
TEST_F(MainBatchRunTest, EveryFolderOfTheListOpensAsShownForARun)
{
    const std::vector<std::string> names = {"Live: 2020", "Why?", "Star*", "Apfel", "apfel", "a:b"};
    for (const std::string& name : names) m_folder.CreateFile(name + "/alpha - beta - gamma.mp3");
    TDirectoryListBox* list = FormMain->DirectoryListBox1;
    list->RebuildItems();
    const std::string top = list->FolderPath();
    bool byEnter = false;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        list->SetFolderPath(top);
        int index = list->CurrentFolderIndex() + 1;
        while (index < list->ItemCount() && list->ItemText(index) != name) ++index;
        ASSERT_LT(index, list->ItemCount()) << "not listed";
        // A double-click and Enter by turns.
        list->scrollToItem(list->item(index));
        if (byEnter) {
            list->setCurrentRow(index);
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(index)).center());
        }
        byEnter = !byEnter;
        EXPECT_EQ(list->FolderPath(), top + "\\" + name);
        Click("Button2");
        EXPECT_EQ(Result(), (Rows{kHeader, {"Ok", "alpha - beta - gamma.mp3", "Alpha - Gamma - Beta.mp3"}}));
    }
    for (const std::string& name : names) {
        EXPECT_TRUE(m_folder.Exists(name + "/Alpha - Gamma - Beta.mp3")) << name;
    }
}

}  // namespace
}  // namespace quorvane
