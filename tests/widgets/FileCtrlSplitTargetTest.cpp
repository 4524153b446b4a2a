#include "widgets/FileCtrl.h"

#include "tests/widgets/FileCtrlTestMachine.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::TFileCtrlMachine;

TEST(FileCtrlSplitTargetTest, ARequestLeadsToADriveAndAFolderAndTheCurrentFolderStays)
{
    TFileCtrlMachine machine;
    platform::HostFileSystem().SetCurrentDirectory("D:\\Daten");
    const struct {
        const char* Request;
        char Drive;
        const char* Folder;
    } cases[] = {
        {"F:", 'F', "\\"},
        {"D:\\Daten\\Musik\\", 'D', "\\Daten\\Musik"},
        {"d:\\Daten\\Musik\\l?ed.mp3", 'd', "\\Daten\\Musik"},
        {"Musik", 'D', "\\Daten\\Musik"},
        {"Musik\\live", 'D', "Musik\\live"},
        {"M\\x", 'D', "M\\x"},
        {"*.mp3", 'D', "\\Daten"},
        {"[\\Daten\\Musik]", 'D', "\\Daten\\Musik"},
        {"F:Musik", 'F', "\\Musik"},
        // F: remembers the folder the request before went to.
        {"F:", 'F', "\\Musik"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Request);
        const TSplitTarget target = SplitTarget(c.Request);
        EXPECT_EQ(target.Drive, c.Drive);
        EXPECT_EQ(target.Folder, c.Folder);
        EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), "D:\\Daten");
    }
}

TEST(FileCtrlSplitTargetTest, PathItemsStepInByLevelAndSubfoldersOneFurther)
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
