#include "platform/SettingsFolders.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

// The system's own answers on real temporary folders, on Linux and on
// Windows alike.
namespace quorvane::platform {
namespace {

TEST(SettingsFoldersTest, CreatesMissingLevelsAndTellsWritableFoldersFromOtherNames)
{
    testing::TempFolder temp;
    SettingsFolders& folders = NativeSettingsFolders();
    temp.CreateFile("datei", "kein Ordner");

    EXPECT_TRUE(folders.CanWriteFolder(temp.Name()));
    EXPECT_FALSE(folders.CanWriteFolder(temp.NameOf("fehlt")));
    EXPECT_FALSE(folders.CanWriteFolder(temp.NameOf("datei")));

    const std::string nested = temp.NameOf("a\\b\\quorvane");
    EXPECT_TRUE(folders.CreateFolder(nested));
    EXPECT_TRUE(std::filesystem::is_directory(temp.Path() / "a" / "b" / "quorvane"));
    EXPECT_TRUE(folders.CanWriteFolder(nested));
    EXPECT_TRUE(folders.CreateFolder(nested)) << "a folder that exists is no failure";
    EXPECT_FALSE(folders.CreateFolder(temp.NameOf("datei\\quorvane")));
    EXPECT_EQ(temp.Names(), (std::vector<std::string>{"a", "datei"})) << "a failure probes nothing into the folder";
}

}  // namespace
}  // namespace quorvane::platform
