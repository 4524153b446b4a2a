#include "ui/Main.h"

#include "app/Application.h"
#include "framework/StdCtrls.h"
#include "platform/FileSystem.h"
#include "platform/posix/DriveNameSpace.h"
#include "platform/posix/PosixVolumes.h"
#include "tests/support/HostOverride.h"
#include "tests/support/TempFolder.h"
#include "widgets/FileCtrl.h"
#include "widgets/Grids.h"

#include <QApplication>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

// A FAT image mounted below /mnt, where the program takes a mount for a
// drive of its own, as it would a USB stick. Mounting needs root, the
// loop devices, the kernel's vfat and mkfs.vfat; where one of them is
// missing, Reason() says which.
class TMountedFatImage {
public:
    TMountedFatImage()
    {
        if (::geteuid() != 0) {
            m_reason = "mounting an image needs root";
            return;
        }
        const std::string image = (m_image.Path() / "stick.img").string();
        if (std::system(("truncate -s 8M '" + image + "' && mkfs.vfat -n STICK '" + image + "' >/dev/null 2>&1")
                            .c_str()) != 0) {
            m_reason = "mkfs.vfat (dosfstools) is not installed";
            return;
        }
        std::string point = "/mnt/quorvane-test-XXXXXX";
        if (::mkdtemp(point.data()) == nullptr) {
            m_reason = "no folder can be made below /mnt";
            return;
        }
        m_point = point;
        if (std::system(("mount -t vfat -o loop '" + image + "' '" + point + "' 2>/dev/null").c_str()) != 0) {
            m_reason = "the image cannot be mounted here (no loop device or no vfat in the kernel)";
            ::rmdir(point.c_str());
            m_point.clear();
        }
    }
    ~TMountedFatImage()
    {
        if (m_point.empty()) return;
        std::system(("umount '" + m_point + "'").c_str());
        ::rmdir(m_point.c_str());
    }
    TMountedFatImage(const TMountedFatImage&) = delete;
    TMountedFatImage& operator=(const TMountedFatImage&) = delete;

    const std::string& Reason() const { return m_reason; }
    const std::string& Point() const { return m_point; }

private:
    testing::TempFolder m_image;
    std::string m_point;
    std::string m_reason;
};

// The volumes as a fresh start of the program finds them with the stick
// mounted; the drives the process knew before come back afterwards.
class TVolumesWithTheStick {
public:
    TVolumesWithTheStick()
    {
        for (const platform::posix::TDriveRoot& drive : platform::posix::Drives()) {
            if (drive.Letter != 'C' && drive.Letter != 'Z') m_before.push_back(drive);
        }
    }
    ~TVolumesWithTheStick()
    {
        platform::posix::RebuildDrives(m_before);
        platform::HostFileSystem().SetCurrentDirectory(m_folder);
    }
    TVolumesWithTheStick(const TVolumesWithTheStick&) = delete;
    TVolumesWithTheStick& operator=(const TVolumesWithTheStick&) = delete;

private:
    std::vector<platform::posix::TDriveRoot> m_before;
    std::string m_folder = platform::HostFileSystem().GetCurrentDirectory();
    platform::posix::TPosixVolumes m_volumes;
    testing::ScopedHostService<platform::Volumes> m_guard{m_volumes, platform::ReplaceHostVolumes};
};

// A stick ignores case: "Apfel" and "apfel" are one folder there, listed
// once, opened from the list and renamed in as on any other drive.
TEST(MainFatStickPosixTest, AFolderOnAStickThatIgnoresCaseIsListedOnceAndOpened)
{
    TMountedFatImage stick;
    if (!stick.Reason().empty()) GTEST_SKIP() << stick.Reason();
    std::filesystem::create_directory(std::filesystem::path(stick.Point()) / "Apfel");
    std::ofstream(std::filesystem::path(stick.Point()) / "Apfel" / "alpha - beta - gamma.mp3").put('x');
    ASSERT_NE(::mkdir((stick.Point() + "/apfel").c_str(), 0755), 0) << "the volume tells case apart";
    ASSERT_EQ(errno, EEXIST);

    TVolumesWithTheStick volumes;
    Application().SetTitle("Quorvane V1.24");
    Application().CreateForm(FormMain);
    // The window leaves the stick before it goes, or it could not be taken
    // out (unmounted).
    struct TOutOfTheStick {
        ~TOutOfTheStick()
        {
            FormMain->DirectoryListBox1->SetFolderPath("C:\\");
            Application().ReleaseForms();
        }
    } outOfTheStick;
    FormMain->Show();
    TDirectoryListBox* list = FormMain->DirectoryListBox1;
    const std::string root = platform::posix::FromUnixPath(stick.Point()).value_or("");
    ASSERT_NE(root.substr(0, 1), "Z") << "the stick is a drive of its own";
    list->SetFolderPath(root);
    EXPECT_FALSE(list->CaseSensitive());
    EXPECT_TRUE(list->PreservesCase());
    ASSERT_EQ(list->ItemCount(), 2);
    EXPECT_EQ(list->ItemText(1), "Apfel");

    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(list->FolderPath(), root + "Apfel");
    auto* run = FormMain->findChild<TButton*>("Button2");
    QTest::mouseClick(run, Qt::LeftButton, {}, run->rect().center());
    EXPECT_EQ(FormMain->findChild<TStringGrid*>("StringGrid2")->Cells(2, 1), "Alpha - Gamma - Beta.mp3");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(stick.Point()) / "Apfel" / "Alpha - Gamma - Beta.mp3"));

}

}  // namespace
}  // namespace quorvane
