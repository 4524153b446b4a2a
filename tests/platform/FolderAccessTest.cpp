#include "platform/FileSystem.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The system's own file system finds a folder and its files again by what
// they are, on Linux and on Windows alike, for the undo of a run.
namespace quorvane::platform {
namespace {

TEST(FolderAccessTest, RenamesOnlyTheVeryFileItWasToldOfAndFindsItsFolderAgain)
{
    testing::TempFolder temp;
    temp.CreateFile("Musik/a.mp3", "a");
    temp.CreateFile("Musik/b.mp3", "b");
    FileSystem& fileSystem = NativeFileSystem();
    std::unique_ptr<IdentifiedFolder> folder = fileSystem.OpenIdentifiedFolder(temp.NameOf("Musik"));
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Stamp().Type, EntryStamp::Kind::Folder);
    EXPECT_EQ(fileSystem.OpenIdentifiedFolder(temp.NameOf("Musik\\a.mp3")), nullptr);

    const EntryStamp a = folder->StampOf("a.mp3");
    EXPECT_EQ(a.Type, EntryStamp::Kind::File);
    EXPECT_EQ(folder->StampOf("c.mp3").Type, EntryStamp::Kind::None);
    EXPECT_FALSE(SameEntry(a, folder->StampOf("b.mp3")));
    EXPECT_EQ(folder->MoveFileIfSame("b.mp3", "c.mp3", a), kErrorFileNotFound);
    EXPECT_NE(folder->MoveFileIfSame("a.mp3", "b.mp3", a), kErrorSuccess);
    EXPECT_EQ(temp.Names(), (std::vector<std::string>{"Musik"}));
    EXPECT_EQ(testing::FileContent(temp.Path() / "Musik" / "b.mp3"), "b");

    EXPECT_EQ(folder->MoveFileIfSame("a.mp3", "c.mp3", a), kErrorSuccess);
    EXPECT_EQ(testing::FileContent(temp.Path() / "Musik" / "c.mp3"), "a");
    const std::string location = folder->Location();
    const EntryStamp stamp = folder->Stamp();
    folder.reset();

    std::unique_ptr<IdentifiedFolder> again = fileSystem.ReopenIdentifiedFolder(location);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(SameEntry(stamp, again->Stamp()));
    EXPECT_TRUE(SameEntry(a, again->StampOf("c.mp3")));
    again.reset();

    // A fresh folder in the old one's place is another folder.
    std::filesystem::rename(temp.Path() / "Musik", temp.Path() / "Alt");
    temp.CreateFolder("Musik");
    again = fileSystem.ReopenIdentifiedFolder(location);
    EXPECT_TRUE(again == nullptr || !SameEntry(stamp, again->Stamp()));
}

}  // namespace
}  // namespace quorvane::platform
