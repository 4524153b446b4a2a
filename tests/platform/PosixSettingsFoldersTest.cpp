#include "platform/SettingsFolders.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::platform {
namespace {

// The user's folder follows the XDG base directories; C: is the home folder.
TEST(PosixSettingsFoldersTest, UserFolderIsTheProgramsFolderUnderXdgConfigHome)
{
    const struct {
        const char* configHome;  // nullptr: unset
        std::string folder;
    } cases[] = {
        {nullptr, "C:\\.config\\quorvane"},
        {"", "C:\\.config\\quorvane"},
        {"relativ/config", "C:\\.config\\quorvane"},
        {"/etc/xdg", "Z:\\etc\\xdg\\quorvane"},
        {"/", "Z:\\quorvane"},
    };
    for (const auto& c : cases) {
        testing::ScopedEnvironment environment;
        c.configHome ? environment.Set("XDG_CONFIG_HOME", c.configHome) : environment.Unset("XDG_CONFIG_HOME");
        EXPECT_EQ(NativeSettingsFolders().UserSettingsFolder("quorvane"), c.folder)
            << (c.configHome ? c.configHome : "unset");
    }
}

TEST(PosixSettingsFoldersTest, NewLevelsAreTheUsersAloneAndALockedFolderIsNotWritable)
{
    testing::TempFolder temp;
    SettingsFolders& folders = NativeSettingsFolders();
    ASSERT_TRUE(folders.CreateFolder(temp.NameOf("config\\quorvane")));
    struct stat info {};
    ASSERT_EQ(::stat((temp.Path() / "config").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // Root may write any folder that is not on a read-only mount, so only
    // another user sees a folder without write permission as locked.
    std::filesystem::permissions(temp.Path() / "config", std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_exec);
    EXPECT_EQ(folders.CanWriteFolder(temp.NameOf("config")), ::geteuid() == 0);
    std::filesystem::permissions(temp.Path() / "config", std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace quorvane::platform
