#include "platform/Volumes.h"

#include "platform/win32/Win32Api.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane::platform {
namespace {

// The drives the system reports, checked against each other: whatever the
// machine, every drive of the mask has a kind and the others have no root.
TEST(Win32VolumesTest, DrivesOfTheMaskHaveAKindAndTheirVolumesAnswer)
{
    Volumes& volumes = NativeVolumes();
    const std::uint32_t drives = volumes.LogicalDrives();
    char windowsFolder[MAX_PATH + 1] = {};
    ASSERT_GE(::GetSystemWindowsDirectoryA(windowsFolder, sizeof windowsFolder), 3u);
    const std::string systemRoot(windowsFolder, 3);
    EXPECT_NE(drives & (1u << ((systemRoot[0] | 0x20) - 'a')), 0u) << systemRoot;

    for (int i = 0; i < 26; ++i) {
        const std::string root = {static_cast<char>('a' + i), ':', '\\'};
        const std::uint32_t type = volumes.GetDriveType(root);
        if ((drives & (1u << i)) == 0) {
            EXPECT_EQ(type, kDriveNoRootDir) << root;
            std::string remote = "unchanged";
            EXPECT_NE(volumes.GetConnection(root.substr(0, 2), remote), 0u) << root;
            EXPECT_EQ(remote, "unchanged");
        } else {
            EXPECT_NE(type, kDriveNoRootDir) << root;
            EXPECT_NE(type, kDriveUnknown) << root;
        }
    }

    // The system's own drive is a fixed disk that keeps the case of names.
    const std::string& root = systemRoot;
    EXPECT_EQ(volumes.GetDriveType(root), kDriveFixed) << root;
    VolumeInformation information;
    information.Label = "vorher";
    ASSERT_TRUE(volumes.GetVolumeInformation(root, information)) << root;
    EXPECT_NE(information.FileSystemFlags & kCasePreservedNames, 0u);
    EXPECT_LE(information.Label.size(), 32u);
    std::string remote;
    EXPECT_EQ(volumes.GetConnection(root.substr(0, 2), remote), kErrorNotConnected);
}

TEST(Win32VolumesTest, ErrorModeComesBackAsItWas)
{
    Volumes& volumes = NativeVolumes();
    const std::uint32_t before = volumes.SetErrorMode(kFailCriticalErrors);
    EXPECT_EQ(volumes.SetErrorMode(before) & kFailCriticalErrors, kFailCriticalErrors);
    EXPECT_EQ(volumes.SetErrorMode(before), before);
}

}  // namespace
}  // namespace quorvane::platform
