#include "widgets/FileCtrl.h"

#include "framework/Bitmaps.h"
#include "runtime/Exceptions.h"
#include "tests/widgets/FileCtrlTestMachine.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using testing::FakeDrive;
using testing::FakeVolumes;
using testing::ScopedHostService;
using testing::TFakeDrive;
using testing::TFileCtrlMachine;

std::vector<std::string> EntriesOf(const TDriveComboBox& combo)
{
    std::vector<std::string> entries;
    for (int i = 0; i < combo.EntryCount(); ++i) entries.push_back(combo.EntryText(i));
    return entries;
}

std::string Selected(const TDriveComboBox& combo)
{
    return combo.currentIndex() >= 0 ? combo.EntryText(combo.currentIndex()) : std::string("none");
}

TEST(FileCtrlDriveEntriesTest, EntriesShowPictureLetterAndLabelOrShareInTheChosenCase)
{
    FakeVolumes volumes;
    volumes.SetDrive('a', FakeDrive(platform::kDriveRemovable, "Diskette"));
    volumes.SetDrive('c', FakeDrive(platform::kDriveFixed, "System"));
    TFakeDrive share = FakeDrive(platform::kDriveRemote, "Netz");
    share.RemoteName = "//Server/Musik & Mehr";
    volumes.SetDrive('f', share);
    volumes.SetDrive('h', FakeDrive(platform::kDriveRemote, "Unverbunden"));
    TFakeDrive noDisc = FakeDrive(platform::kDriveCdRom, "Alt");
    noDisc.Readable = false;
    volumes.SetDrive('g', noDisc);
    volumes.SetDrive('r', FakeDrive(platform::kDriveRamDisk, "Müll"));
    volumes.SetDrive('q', FakeDrive(platform::kDriveNoRootDir));
    volumes.SetDrive('u', FakeDrive(platform::kDriveUnknown));
    volumes.SetDrive('z', FakeDrive(platform::kDriveFixed));
    ScopedHostService<platform::Volumes> guard(volumes, platform::ReplaceHostVolumes);

    TDriveComboBox combo;
    int changes = 0;
    combo.OnChange = [&](QObject*) { ++changes; };
    combo.HandleNeeded();
    EXPECT_EQ(EntriesOf(combo), (std::vector<std::string>{"a:", "c: [system]", "f: //server/musik & mehr",
                                                          "g: []", "h: [unverbunden]", "r: [müll]", "z: []"}));
    const char* const pictures[] = {"FLOPPY", "HARD", "NETWORK", "CDROM", "NETWORK", "RAM", "HARD"};
    for (int i = 0; i < combo.EntryCount(); ++i) {
        EXPECT_EQ(combo.EntryImage(i).toImage(), LoadBitmap(pictures[i]).toImage()) << pictures[i];
    }
    for (const std::string& root : volumes.QueriedRoots()) EXPECT_NE(root[0], 'a') << "no volume query for a floppy";
    for (std::uint32_t mode : volumes.ErrorModesAtQueries()) EXPECT_EQ(mode, platform::kFailCriticalErrors);
    EXPECT_EQ(volumes.ErrorMode(), 0u) << "the error mode is restored";
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo.DriveLetter(), 'z') << "the drive of the current folder";
    EXPECT_EQ(Selected(combo), "z: []");

    combo.SetTextCase(tcUpperCase);
    EXPECT_EQ(EntriesOf(combo), (std::vector<std::string>{"A:", "C: [SYSTEM]", "F: //SERVER/MUSIK & MEHR",
                                                          "G: []", "H: [UNVERBUNDEN]", "R: [MÜLL]", "Z: []"}));
    EXPECT_EQ(combo.DriveLetter(), 'Z');
    EXPECT_EQ(Selected(combo), "Z: []");
    EXPECT_EQ(changes, 2);
}

class FileCtrlDriveComboTest : public ::testing::Test {
protected:
    FileCtrlDriveComboTest()
    {
        m_combo = new TDriveComboBox(&m_window);
        m_combo->setObjectName(QStringLiteral("DriveComboBox1"));
        m_combo->setGeometry(0, 5, 190, 22);
        m_list = new TDirectoryListBox(&m_window);
        m_list->setGeometry(0, 31, 190, 300);
        m_combo->SetDirList(m_list);
        m_combo->OnChange = [this](QObject*) {
            ++m_comboChanges;
            m_switchSeen = m_list->InDriveSwitch();
        };
        m_list->OnChange = [this](QObject*) { ++m_listChanges; };
        m_window.resize(200, 340);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_list->SetFolderPath("D:\\Daten");
        m_comboChanges = 0;
        m_listChanges = 0;
    }

    // The choice the list posted for itself.
    void TakeChoice() { QCoreApplication::sendPostedEvents(m_combo, QEvent::MetaCall); }

    void Choose(char letter)
    {
        for (int i = 0; i < m_combo->EntryCount(); ++i) {
            if (m_combo->EntryText(i)[0] == letter) {
                m_combo->setCurrentIndex(i);
                emit m_combo->activated(i);
                TakeChoice();
                return;
            }
        }
        ADD_FAILURE() << "no entry for " << letter;
    }

    TFileCtrlMachine m_machine;
    QWidget m_window;
    TDriveComboBox* m_combo;
    TDirectoryListBox* m_list;
    int m_comboChanges = 0;
    int m_listChanges = 0;
    bool m_switchSeen = false;
};

TEST_F(FileCtrlDriveComboTest, TheListStandsOnTheDriveOfTheCurrentFolder)
{
    EXPECT_EQ(EntriesOf(*m_combo), (std::vector<std::string>{"d: [daten]", "e: []", "f:", "z: [system]"}));
    EXPECT_EQ(m_combo->DriveLetter(), 'd');
    EXPECT_EQ(Selected(*m_combo), "d: [daten]");
    EXPECT_EQ(m_list->DriveCombo(), m_combo);
}

TEST_F(FileCtrlDriveComboTest, ChoosingADriveMovesTheFolderListAndChoosingTheCurrentOneNothing)
{
    Choose('d');
    EXPECT_EQ(m_comboChanges, 0);
    EXPECT_EQ(m_listChanges, 0);

    Choose('f');
    EXPECT_EQ(m_combo->DriveLetter(), 'f');
    EXPECT_EQ(m_list->FolderPath(), "F:\\");
    EXPECT_EQ(m_list->ItemText(1), "Musik");
    EXPECT_EQ(m_comboChanges, 1);
    EXPECT_EQ(m_listChanges, 1);
    EXPECT_FALSE(m_switchSeen) << "a drive chosen here is no switch on the folder list's behalf";

    // Back on D: the folder list finds the folder it had there.
    QTest::keyClick(m_combo, Qt::Key_Home);
    TakeChoice();
    EXPECT_EQ(m_combo->DriveLetter(), 'd');
    EXPECT_EQ(m_list->FolderPath(), "D:\\Daten");
}

TEST_F(FileCtrlDriveComboTest, AFolderOnAnotherDriveMovesTheDriveListAndFiresOnce)
{
    m_list->SetFolderPath("F:\\Musik");
    EXPECT_EQ(m_combo->DriveLetter(), 'f');
    EXPECT_EQ(Selected(*m_combo), "f:");
    EXPECT_EQ(m_list->FolderPath(), "F:\\Musik");
    EXPECT_EQ(m_list->ItemText(0), "F:\\");
    EXPECT_EQ(m_list->ItemText(1), "Musik");
    EXPECT_EQ(m_listChanges, 1);
    EXPECT_EQ(m_comboChanges, 1);
    EXPECT_TRUE(m_switchSeen);
    EXPECT_FALSE(m_list->InDriveSwitch());
    EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), "F:\\Musik");
}

TEST_F(FileCtrlDriveComboTest, ADriveThatIsNotReadyLeavesTheFolderListWhereItWas)
{
    const int items = m_list->ItemCount();
    try {
        QTest::keyClick(m_combo, Qt::Key_Down);
        TakeChoice();
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 21u);
        EXPECT_EQ(error.Message(), "I/O-Fehler 21");
    }
    EXPECT_EQ(m_combo->DriveLetter(), 'e');
    EXPECT_EQ(Selected(*m_combo), "e: []");
    EXPECT_EQ(m_list->FolderPath(), "D:\\Daten");
    EXPECT_EQ(m_list->ItemCount(), items);
    EXPECT_EQ(m_comboChanges, 0);
    EXPECT_EQ(m_listChanges, 0);
    EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), "D:\\Daten");

}

TEST_F(FileCtrlDriveComboTest, AFolderOnTheDriveTheDriveListAlreadyShowsIsReached)
{
    m_combo->SetDirList(nullptr);
    m_combo->SetDriveLetter('f');
    m_combo->SetDirList(m_list);
    m_list->SetFolderPath("F:\\Musik");
    EXPECT_EQ(m_list->FolderPath(), "F:\\Musik");
    EXPECT_EQ(m_listChanges, 1);
}

TEST_F(FileCtrlDriveComboTest, TheLinkIsKeptOnBothSidesAndClearedWhenEitherGoes)
{
    auto other = std::make_unique<TDirectoryListBox>();
    m_combo->SetDirList(other.get());
    EXPECT_EQ(m_list->DriveCombo(), nullptr);
    EXPECT_EQ(other->DriveCombo(), m_combo);

    auto second = std::make_unique<TDriveComboBox>();
    second->SetDirList(other.get());
    EXPECT_EQ(m_combo->DirList(), nullptr) << "a folder list follows one drive list";
    EXPECT_EQ(other->DriveCombo(), second.get());

    other.reset();
    EXPECT_EQ(second->DirList(), nullptr);
    second->SetDirList(m_list);
    second.reset();
    EXPECT_EQ(m_list->DriveCombo(), nullptr);
}

}  // namespace
}  // namespace quorvane
