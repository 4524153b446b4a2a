#include "ui/Main.h"

#include "app/Application.h"
#include "framework/StdCtrls.h"
#include "platform/FileSystem.h"
#include "platform/posix/DriveNameSpace.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"
#include "widgets/FileCtrl.h"
#include "widgets/Grids.h"
#include "widgets/Spin.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
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

// The system's file service, with a user who clicks "Ausführen" once more
// while the run renames the first file. The window does not react during a
// run, so the click waits in the queue, as a real one waits in the window
// system's.
class TClickDuringRun final : public platform::FileSystem {
public:
    explicit TClickDuringRun(QWidget* button) : m_button(button) {}

    std::unique_ptr<platform::FindHandle> FindFirst(std::string_view pattern) override
    {
        return m_native.FindFirst(pattern);
    }
    std::unique_ptr<platform::FindHandle> FindFirstReporting(std::string_view pattern, std::uint32_t needed) override
    {
        return m_native.FindFirstReporting(pattern, needed);
    }
    std::uint32_t MoveFile(std::string_view oldPath, std::string_view newPath) override
    {
        if (m_button != nullptr) {
            const QPointF at = QRectF(m_button->rect()).center();
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QCoreApplication::postEvent(m_button, new QMouseEvent(type, at, m_button->mapToGlobal(at),
                                                                      Qt::LeftButton, Qt::LeftButton, {}));
            }
            m_button = nullptr;
        }
        return m_native.MoveFile(oldPath, newPath);
    }
    std::string GetCurrentDirectory() override { return m_native.GetCurrentDirectory(); }
    std::uint32_t SetCurrentDirectory(std::string_view path) override { return m_native.SetCurrentDirectory(path); }
    bool GetFileAttributes(std::string_view path, std::uint32_t& attributes) override
    {
        return m_native.GetFileAttributes(path, attributes);
    }
    bool GetFileIdentity(std::string_view path, platform::FileIdentity& identity) override
    {
        return m_native.GetFileIdentity(path, identity);
    }
    platform::FolderNameRules GetFolderNameRules(std::string_view folder) override
    {
        return m_native.GetFolderNameRules(folder);
    }

private:
    platform::FileSystem& m_native = platform::NativeFileSystem();
    QWidget* m_button;
};

// With the map 2, 3, 1 a second run would turn every name once more.
TEST_F(MainBatchRunTest, AClickDuringTheRunIsDroppedSoEveryFileIsRenamedOnce)
{
    for (int i = 0; i < 200; ++i) m_folder.CreateFile("a" + std::to_string(i) + " - b - c.mp3");
    m_structure->SetCells(1, 1, "2");
    m_structure->SetCells(1, 2, "3");
    m_structure->SetCells(1, 3, "1");

    TClickDuringRun clicking(FormMain->findChild<TButton*>("Button2"));
    platform::FileSystem* const previous = platform::ReplaceHostFileSystem(&clicking);
    Click("Button2");
    QCoreApplication::processEvents();
    platform::ReplaceHostFileSystem(previous);

    const std::vector<std::string> names = m_folder.Names();
    ASSERT_EQ(names.size(), 200u);
    for (const std::string& name : names) EXPECT_TRUE(name.starts_with("B - C - A")) << name;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The context menu of the result grid takes the last execute run back, once.
TEST_F(MainBatchRunTest, TheResultGridsMenuUndoesTheLastExecuteRun)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3", "inhalt");
    m_folder.CreateFile("notes.txt");
    auto* menu = FormMain->findChild<QMenu*>("PopupMenu1");
    auto* undo = FormMain->findChild<QAction*>("UndoLastRun");
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->text().toStdString(), "Letzte Ausführung rückgängig machen");
    const auto openMenu = [&](QContextMenuEvent::Reason reason) {
        QContextMenuEvent event(reason, QPoint(20, 30), m_result->viewport()->mapToGlobal(QPoint(20, 30)));
        QApplication::sendEvent(m_result->viewport(), &event);
        const bool shown = menu->isVisible();
        menu->hide();
        return shown;
    };

    ASSERT_TRUE(openMenu(QContextMenuEvent::Mouse));
    EXPECT_FALSE(undo->isEnabled());
    Click("Button2");
    Click("Button1");
    ASSERT_TRUE(openMenu(QContextMenuEvent::Keyboard));
    EXPECT_TRUE(undo->isEnabled()) << "a test run leaves the undo of the execute run";

    undo->trigger();
    EXPECT_EQ(Result(), (Rows{kHeader, {"Ok", "Alpha - Gamma - Beta.mp3", "alpha - beta - gamma.mp3"}}));
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"alpha - beta - gamma.mp3", "notes.txt"}));
    EXPECT_EQ(testing::FileContent(m_folder.Path() / "alpha - beta - gamma.mp3"), "inhalt");
    ASSERT_TRUE(openMenu(QContextMenuEvent::Mouse));
    EXPECT_FALSE(undo->isEnabled());

    // A run that renames nothing leaves nothing to undo: the run before it
    // is the one taken back.
    Click("Button2");
    FormMain->findChild<TEdit*>("Edit1")->SetText("*.txt");
    Click("Button2");
    EXPECT_EQ(Result(), (Rows{kHeader, {"--", "notes.txt", ""}}));
    ASSERT_TRUE(openMenu(QContextMenuEvent::Mouse));
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(Result(), (Rows{kHeader, {"Ok", "Alpha - Gamma - Beta.mp3", "alpha - beta - gamma.mp3"}}));
    ASSERT_TRUE(openMenu(QContextMenuEvent::Mouse));
    EXPECT_FALSE(undo->isEnabled());
}

// Each undo takes back the newest run not yet undone; a file that cannot
// go back keeps the item, which works once the obstacle is gone.
TEST_F(MainBatchRunTest, TheMenuUndoesRunAfterRunAndStaysWhileAFileCannotGoBack)
{
    m_folder.CreateFile("a - b - c.mp3", "inhalt");
    auto* undo = FormMain->findChild<QAction*>("UndoLastRun");
    const auto enabled = [&] {
        FormMain->StringGrid2ContextPopup(QPoint(20, 30));
        FormMain->PopupMenu1->hide();
        return undo->isEnabled();
    };
    Click("Button2");
    Click("Button2");
    m_folder.CreateFile("A - C - B.mp3", "im Weg");

    undo->trigger();
    EXPECT_EQ(Result(), (Rows{kHeader, {"Fehler", "A - B - C.mp3", "A - C - B.mp3"}}));
    EXPECT_TRUE(enabled());
    std::filesystem::remove(m_folder.Path() / "A - C - B.mp3");
    undo->trigger();
    EXPECT_EQ(Result(), (Rows{kHeader, {"Ok", "A - B - C.mp3", "A - C - B.mp3"}}));
    EXPECT_TRUE(enabled());
    undo->trigger();
    EXPECT_EQ(Result(), (Rows{kHeader, {"Ok", "A - C - B.mp3", "a - b - c.mp3"}}));
    EXPECT_FALSE(enabled());
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"a - b - c.mp3"}));
    EXPECT_EQ(testing::FileContent(m_folder.Path() / "a - b - c.mp3"), "inhalt");
}

}  // namespace
}  // namespace quorvane
