#include "platform/posix/DriveNameSpace.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::platform::posix {
namespace {

std::string Root(char letter)
{
    for (const TDriveRoot& drive : Drives()) {
        if (drive.Letter == letter) return drive.UnixRoot;
    }
    return {};
}

std::string Unix(std::string_view name)
{
    std::uint32_t error = 0;
    return ToUnixPath(name, error).value_or("error " + std::to_string(error));
}

// Puts the name space back as the test found it: the drive table and the
// current folder (which these tests set without changing the working
// directory, so it must be restored before anything else looks).
class DriveNameSpaceTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        RebuildDrives();
        std::uint32_t error = 0;
        RecordCurrentFolder(*ResolveName(m_saved, error));
    }

    void SetCurrent(std::string_view name)
    {
        std::uint32_t error = 0;
        RecordCurrentFolder(*ResolveName(name, error));
    }

    std::string m_saved = CurrentFolder();
};

TEST_F(DriveNameSpaceTest, NamesResolveByText)
{
    const std::string home = Root('C');
    ASSERT_FALSE(home.empty());
    EXPECT_EQ(Root('Z'), "/");

    SetCurrent("Z:\\tmp\\a\\b");
    const struct {
        const char* Name;
        std::string UnixPath;
    } cases[] = {
        {"Z:\\tmp\\x", "/tmp/x"},
        {"z:/tmp//x\\", "/tmp/x"},
        {"Z:\\tmp\\.\\x\\..\\y", "/tmp/y"},
        {"Z:\\..\\..", "/"},
        {"Z:\\", "/"},
        {"C:\\Musik", home == "/" ? "/Musik" : home + "/Musik"},
        {"C:\\..", home},
        {"C:", home},
        {"Z:", "/tmp/a/b"},
        {"..\\c", "/tmp/a/c"},
        {".", "/tmp/a/b"},
        {"lied.mp3", "/tmp/a/b/lied.mp3"},
        {"\\x", "/x"},
        {"Q:\\x", "error 15"},
        {"\\\\server\\share", "error 3"},
        {"", "error 3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Unix(c.Name), c.UnixPath) << c.Name;
    }
    EXPECT_EQ(Unix(std::string_view("a\0b", 3)), "error 123");

    std::uint32_t error = 0;
    EXPECT_EQ(ResolveName("z:\\tmp\\.\\a\\", error)->Name, "Z:\\tmp\\a");
    EXPECT_EQ(ResolveName("z:\\tmp\\..", error)->Name, "Z:\\");
}

TEST_F(DriveNameSpaceTest, UnixPathsGetTheMostSpecificDrive)
{
    testing::TempFolder temp;
    const std::string volume = temp.CreateFolder("volume").string();
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome == nullptr ? std::string() : savedHome;
    ::setenv("HOME", temp.Path().c_str(), 1);
    const bool rebuilt = RebuildDrives({{'d', volume}});
    if (savedHome != nullptr) ::setenv("HOME", home.c_str(), 1);
    else ::unsetenv("HOME");
    ASSERT_TRUE(rebuilt);

    EXPECT_EQ(Root('C'), temp.Path().string());
    EXPECT_EQ(Root('D'), volume);
    EXPECT_EQ(FromUnixPath(volume + "/Musik/Live"), "D:\\Musik\\Live");
    EXPECT_EQ(FromUnixPath(volume), "D:\\");
    EXPECT_EQ(FromUnixPath(temp.Path().string() + "/volumeX"), "C:\\volumeX");
    EXPECT_EQ(FromUnixPath(temp.Path().string() + "//a/./b/../c/"), "C:\\a\\c");
    EXPECT_EQ(FromUnixPath("/"), "Z:\\");
    EXPECT_EQ(FromUnixPath("/usr/lib"), "Z:\\usr\\lib");
    EXPECT_EQ(FromUnixPath("/usr/a\\b"), std::nullopt);
    EXPECT_EQ(FromUnixPath("relative/path"), std::nullopt);
    EXPECT_EQ(Unix("d:\\Musik"), volume + "/Musik");

    // Letters that are not the volumes' own, given twice or with a relative root change nothing.
    EXPECT_FALSE(RebuildDrives({{'C', volume}}));
    EXPECT_FALSE(RebuildDrives({{'E', volume}, {'e', volume}}));
    EXPECT_FALSE(RebuildDrives({{'E', "mnt/usb"}}));
    EXPECT_EQ(Root('D'), volume);

    ASSERT_TRUE(RebuildDrives());
    EXPECT_EQ(Root('D'), "");
    EXPECT_EQ(Unix("D:\\Musik"), "error 15");
}

}  // namespace
}  // namespace quorvane::platform::posix
