#include "widgets/FolderRequest.h"

#include "runtime/Exceptions.h"
#include "tests/widgets/FileCtrlTestMachine.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::TFileCtrlMachine;

TEST(FolderRequestTest, ARequestLeadsToADriveAndAFolderAndTheCurrentFolderStays)
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
        // Slashes separate as backslashes do.
        {"D:/Daten/Musik/", 'D', "/Daten/Musik"},
        {"Musik/live", 'D', "Musik\\live"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Request);
        const TSplitTarget target = SplitTarget(c.Request);
        EXPECT_EQ(target.Drive, c.Drive);
        EXPECT_EQ(target.Folder, c.Folder);
        EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), "D:\\Daten");
        // The folder is one that can be entered from where the request started.
        EXPECT_EQ(platform::HostFileSystem().SetCurrentDirectory(std::string{target.Drive, ':'} + target.Folder),
                  platform::kErrorSuccess);
        platform::HostFileSystem().SetCurrentDirectory("D:\\Daten");
    }

    // Found by fuzzing: the name after the last slash used to be entered as
    // a folder of its own and joined to the folder it started from. Leading
    // double slashes name a network share, which no drive here has.
    try {
        SplitTarget("//////Daten///");
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 3u);
    }
    EXPECT_EQ(TFileCtrlMachine::CurrentDirectory(), "D:\\Daten");
}

}  // namespace
}  // namespace quorvane
