#include "widgets/FileCtrl.h"

#include "runtime/Exceptions.h"
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
        {"D:\\Daten\\Musik", 'D', "\\Daten\\Musik"},
        {"D:\\Daten\\Musik\\", 'D', "\\Daten\\Musik"},
        {"D:\\Daten\\Musik\\lied.mp3", 'D', "\\Daten\\Musik"},
        {"D:\\Daten\\Musik\\*.mp3", 'D', "\\Daten\\Musik"},
        {"d:\\Daten\\Musik\\l?ed.mp3", 'd', "\\Daten\\Musik"},
        {"D:\\", 'D', "\\"},
        {"\\Alpha", 'D', "\\Alpha"},
        {"Musik", 'D', "\\Daten\\Musik"},
        {"Musik\\live", 'D', "Musik\\live"},
        {"M\\x", 'D', "M\\x"},
        {"..\\Gamma", 'D', "..\\Gamma"},
        {"*.mp3", 'D', "\\Daten"},
        {"[\\Daten\\Musik]", 'D', "\\Daten\\Musik"},
        {"F:Musik", 'F', "\\Musik"},
        {"F:\\Musik\\", 'F', "\\Musik"},
        // F: remembers the folder the requests before went to.
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

TEST(FileCtrlSplitTargetTest, AFolderThatCannotBeEnteredRaisesWithTheCurrentFolderRestored)
{
    TFileCtrlMachine machine;
    platform::HostFileSystem().SetCurrentDirectory("D:\\Daten");
    const struct {
        const char* Request;
        std::uint32_t Code;
    } cases[] = {
        {"D:\\Daten\\Nichts", 2},
        {"D:\\Nichts\\Tiefer", 2},
        {"D:\\Nichts\\Tiefer\\Noch", 3},
        {"Nichts", 2},
        {"E:\\Musik", 21},
        {"Q:\\Musik", 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Request);
        try {
            SplitTarget(c.Request);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.ErrorCode(), c.Code);
        }
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
