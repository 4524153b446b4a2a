#include "widgets/FileCtrl.h"

#include "runtime/Exceptions.h"
#include "tests/widgets/FileCtrlTestMachine.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

using testing::FakeDrive;
using testing::TFileCtrlMachine;

using TItems = std::vector<std::pair<std::string, TDirItemKind>>;

TItems ItemsOf(const TDirectoryListBox& list)
{
    TItems items;
    for (int i = 0; i < list.ItemCount(); ++i) items.emplace_back(list.ItemText(i), list.ItemKind(i));
    return items;
}

class FileCtrlDirectoryListTest : public ::testing::Test {
protected:
    FileCtrlDirectoryListTest()
    {
        m_list = new TDirectoryListBox(&m_window);
        m_list->setObjectName(QStringLiteral("DirectoryListBox1"));
        m_list->setGeometry(0, 0, 190, 300);
        m_list->OnChange = [this](QObject*) { ++m_changes; };
        m_window.resize(200, 310);
    }

    void Show()
    {
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_list->doItemsLayout();
    }

    void DoubleClick(int index)
    {
        m_list->scrollToItem(m_list->item(index));
        const QPoint where = m_list->visualItemRect(m_list->item(index)).center();
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, where);
    }

    TFileCtrlMachine m_machine;
    QWidget m_window;
    TDirectoryListBox* m_list;
    int m_changes = 0;
};

TEST_F(FileCtrlDirectoryListTest, TheItemsAreThePathThenTheVisibleSubfoldersIgnoringCase)
{
    EXPECT_EQ(m_list->FolderPath(), "D:\\") << "starts in the current folder";
    EXPECT_EQ(m_list->ItemCount(), 0) << "no items before the window exists";
    Show();
    EXPECT_EQ(ItemsOf(*m_list), (TItems{{"D:\\", dkCurrentFolder},
                                        {"Alpha", dkSubFolder},
                                        {"beta", dkSubFolder},
                                        {"Daten", dkSubFolder},
                                        {"Gamma", dkSubFolder}}));
    EXPECT_EQ(m_list->currentRow(), 0);
    EXPECT_EQ(m_list->count(), m_list->ItemCount());

    m_list->SetFolderPath("D:\\Daten\\Musik");
    EXPECT_EQ(ItemsOf(*m_list), (TItems{{"D:\\", dkOpenFolder},
                                        {"Daten", dkOpenFolder},
                                        {"Musik", dkCurrentFolder},
                                        {"Demo", dkSubFolder},
                                        {"live", dkSubFolder}}));
    EXPECT_EQ(m_list->CurrentFolderIndex(), 2);
    EXPECT_EQ(m_list->currentRow(), 2);
    const std::vector<std::string> paths = {"D:\\", "D:\\Daten", "D:\\Daten\\Musik", "D:\\Daten\\Musik\\Demo",
                                            "D:\\Daten\\Musik\\live", "", ""};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(m_list->ItemPath(i == 6 ? -1 : i), paths[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), "D:\\Daten\\Musik");
}

// Both folders exist on the disk; a volume that ignores case could not hold
// them, so the list shows what that volume would: one of them.
TEST_F(FileCtrlDirectoryListTest, NamesEqualButForCaseAreTwoFoldersOnlyWhereTheVolumeTellsCaseApart)
{
    m_machine.DriveD().CreateFolder("Daten/Musik/demo");
    m_list->SetFolderPath("D:\\Daten\\Musik");
    ASSERT_EQ(m_list->ItemCount(), 6);
    EXPECT_EQ(m_list->ItemText(5), "live");
    const std::vector<std::string> pair = {m_list->ItemText(3), m_list->ItemText(4)};
    EXPECT_EQ(std::set<std::string>(pair.begin(), pair.end()), (std::set<std::string>{"Demo", "demo"}));
    m_list->RebuildItems();
    EXPECT_EQ((std::vector<std::string>{m_list->ItemText(3), m_list->ItemText(4)}), pair) << "in a fixed order";

    testing::TFakeDrive keepsCase = FakeDrive(platform::kDriveFixed);
    keepsCase.FileSystemFlags = platform::kCasePreservedNames;
    m_machine.Volumes().SetDrive('d', keepsCase);
    m_list->RebuildItems();
    ASSERT_EQ(m_list->ItemCount(), 5);
    EXPECT_EQ(m_list->ItemText(4), "live");
}

TEST_F(FileCtrlDirectoryListTest, ARequestIsTakenToTheFolderItNames)
{
    m_machine.DriveD().CreateFolder("Daten/Musik/Best of *");
    m_machine.DriveD().CreateFolder("Daten/Live: 2020");
    const struct {
        const char* Request;
        const char* Folder;
    } cases[] = {
        {"D:\\Daten\\Musik\\", "D:\\Daten\\Musik"},
        {"D:\\Daten\\Musik\\lied.mp3", "D:\\Daten\\Musik"},
        {"D:\\Daten\\Musik\\*.mp3", "D:\\Daten\\Musik"},
        {"Musik\\live", "D:\\Daten\\Musik\\live"},
        {"M\\x", "D:\\Daten\\M\\x"},
        {"..\\Alpha", "D:\\Alpha"},
        {"[\\Daten\\Musik]", "D:\\Daten\\Musik"},
        {"d:\\daten\\..\\Gamma\\", "D:\\Gamma"},
        // Existing folders are taken as named before any character is read
        // as a mask or a separator.
        {"D:\\Daten\\Musik\\Best of *", "D:\\Daten\\Musik\\Best of *"},
        {"Live: 2020", "D:\\Daten\\Live: 2020"},
        {"D:\\Daten\\Musik\\Best*", "D:\\Daten\\Musik"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Request);
        m_list->SetFolderPath("D:\\Daten");
        m_list->SetFolderPath(c.Request);
        EXPECT_EQ(m_list->FolderPath(), c.Folder);
        EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), c.Folder);
    }
}

TEST_F(FileCtrlDirectoryListTest, AFolderThatCannotBeReachedChangesNothing)
{
    Show();
    m_list->SetFolderPath("D:\\Daten\\Musik");
    m_list->setCurrentRow(4);
    const TItems before = ItemsOf(*m_list);
    m_changes = 0;
    const struct {
        const char* Request;
        std::uint32_t Code;
        const char* Message;
    } cases[] = {
        {"D:\\Daten\\Nichts", 2, "Datei nicht gefunden"},
        {"D:\\Nichts\\Tiefer\\Noch", 3, "Ungültiger Dateiname"},
        {"E:\\Musik", 21, "I/O-Fehler 21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Request);
        try {
            m_list->SetFolderPath(c.Request);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.ErrorCode(), c.Code);
            EXPECT_EQ(error.Message(), c.Message);
        }
        EXPECT_EQ(m_list->FolderPath(), "D:\\Daten\\Musik");
        EXPECT_EQ(ItemsOf(*m_list), before);
        EXPECT_EQ(m_list->currentRow(), 4);
        EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), "D:\\Daten\\Musik");
    }
    EXPECT_EQ(m_changes, 0);
}

TEST_F(FileCtrlDirectoryListTest, TheCaseOfNamesCountsAsTheVolumeSays)
{
    // A volume that ignores case but keeps it: the same folder in other case
    // is the current one.
    testing::TFakeDrive keepsCase = FakeDrive(platform::kDriveFixed);
    keepsCase.FileSystemFlags = platform::kCasePreservedNames;
    m_machine.Volumes().SetDrive('d', keepsCase);
    m_list->SetFolderPath("D:\\Daten\\Musik");
    EXPECT_TRUE(m_list->PreservesCase());
    EXPECT_FALSE(m_list->CaseSensitive());
    m_changes = 0;
    m_list->SetFolderPath("d:\\DATEN\\musik");
    EXPECT_EQ(m_changes, 0);
    EXPECT_EQ(m_list->FolderPath(), "D:\\Daten\\Musik");

    // A volume that keeps no case shows names in lower case; the folder
    // keeps the system's form of its name.
    testing::TFakeDrive noCase = FakeDrive(platform::kDriveFixed);
    noCase.FileSystemFlags = 0;
    m_machine.Volumes().SetDrive('d', noCase);
    m_list->SetFolderPath("D:\\");
    EXPECT_FALSE(m_list->PreservesCase());
    EXPECT_EQ(m_list->ItemText(1), "Alpha");
    EXPECT_EQ(m_list->DisplayText(1), "alpha");
    EXPECT_EQ(m_list->item(1)->text(), QStringLiteral("alpha"));
    EXPECT_EQ(m_list->DisplayText(0), "d:\\");
    EXPECT_EQ(m_list->FolderPath(), "D:\\");

    // A case-sensitive volume tells names apart by case: this folder does
    // not exist there.
    m_machine.Volumes().SetDrive('d', FakeDrive(platform::kDriveFixed));
    m_list->SetFolderPath("D:\\Daten");
    EXPECT_TRUE(m_list->CaseSensitive());
    EXPECT_THROW(m_list->SetFolderPath("d:\\DATEN"), EInOutError);
}

TEST_F(FileCtrlDirectoryListTest, DoubleClickAndEnterOpenTheSelectedItem)
{
    Show();
    m_list->SetFolderPath("D:\\Daten\\Musik");
    m_changes = 0;

    DoubleClick(1);
    EXPECT_EQ(m_list->FolderPath(), "D:\\Daten");
    EXPECT_EQ(m_list->currentRow(), 1) << "the new current folder is selected";

    m_list->SetFolderPath("D:\\Daten\\Musik");
    DoubleClick(0);
    EXPECT_EQ(m_list->FolderPath(), "D:\\");
    EXPECT_EQ(m_changes, 3);

    m_list->SetFolderPath("D:\\Daten\\Musik");
    m_changes = 0;
    DoubleClick(2);
    EXPECT_EQ(m_list->FolderPath(), "D:\\Daten\\Musik");
    EXPECT_EQ(m_changes, 0) << "the current folder is open already";

    // A click and the arrow keys only move the highlight.
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, m_list->visualItemRect(m_list->item(3)).center());
    QTest::keyClick(m_list, Qt::Key_Down);
    EXPECT_EQ(m_list->currentRow(), 4);
    EXPECT_EQ(m_list->FolderPath(), "D:\\Daten\\Musik");
    QTest::keyClick(m_list, Qt::Key_Return);
    EXPECT_EQ(m_list->FolderPath(), "D:\\Daten\\Musik\\live");
    EXPECT_EQ(m_changes, 1);
}

// With the keyboard focus on the list, the item the arrow keys act on is
// marked, and the mark goes with the focus.
TEST_F(FileCtrlDirectoryListTest, TheKeyboardFocusIsShownOnTheCurrentItem)
{
    auto* before = new QLineEdit(&m_window);
    before->setGeometry(0, 302, 50, 8);
    QWidget::setTabOrder(before, m_list);
    Show();
    m_list->SetFolderPath("D:\\Daten");
    before->setFocus(Qt::TabFocusReason);
    const auto currentItem = [&] {
        m_list->viewport()->repaint();
        return m_list->viewport()->grab(m_list->visualItemRect(m_list->currentItem())).toImage();
    };
    const QImage unfocused = currentItem();
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(m_list->hasFocus());
    EXPECT_NE(currentItem(), unfocused);
    before->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(currentItem(), unfocused);
}

TEST_F(FileCtrlDirectoryListTest, ItemsAreAsHighAsTheFontOrTheFolderPicturePlusOne)
{
    m_list->HandleNeeded();
    EXPECT_EQ(m_list->ItemImage(0).height(), 15);
    QFont small = m_list->font();
    small.setPixelSize(8);
    m_list->setFont(small);
    EXPECT_EQ(m_list->ItemHeight(), 16);
    QFont large = m_list->font();
    large.setPixelSize(30);
    m_list->setFont(large);
    EXPECT_EQ(m_list->ItemHeight(), QFontMetrics(large).height());
    EXPECT_GT(m_list->ItemHeight(), 16);
}

TEST(DirItemIndentTest, PathItemsStepInByLevelAndSubfoldersOneFurther)
{
    EXPECT_EQ(DirItemIndent(0, dkOpenFolder, "C:\\Daten\\Musik"), 2);
    EXPECT_EQ(DirItemIndent(1, dkOpenFolder, "C:\\Daten\\Musik"), 6);
    EXPECT_EQ(DirItemIndent(2, dkCurrentFolder, "C:\\Daten\\Musik"), 10);
    EXPECT_EQ(DirItemIndent(3, dkSubFolder, "C:\\Daten\\Musik"), 14);
    EXPECT_EQ(DirItemIndent(9, dkSubFolder, "C:\\Daten\\Musik"), 14);
    EXPECT_EQ(DirItemIndent(0, dkCurrentFolder, "C:\\"), 2);
    EXPECT_EQ(DirItemIndent(1, dkSubFolder, "C:\\"), 10);
}

}  // namespace
}  // namespace quorvane
