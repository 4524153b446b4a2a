#include "platform/posix/PosixVolumes.h"

#include "platform/posix/DriveNameSpace.h"
#include "platform/posix/MountTable.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quorvane::platform::posix {
namespace {

namespace fs = std::filesystem;

// A machine in a folder: a mount table, device files, by-label links and
// the kernel's removable flags, as the scan reads them.
class PosixVolumesTest : public ::testing::Test {
protected:
    PosixVolumesTest()
    {
        const fs::path root = m_machine.Path();
        m_sources.MountTable = (root / "mounts").string();
        m_sources.ByLabelFolder = m_machine.CreateFolder("by-label").string();
        m_sources.SysBlockFolder = m_machine.CreateFolder("sys/class").string();
        for (const char* device : {"sda1", "sdb1", "sdc1", "sr0"}) m_machine.CreateFile(std::string("dev/") + device);
        // sdb is a removable disk whose partition sdb1 holds the stick; sdc is fixed.
        m_machine.CreateFile("sys/devices/sdb/removable", "1\n");
        m_machine.CreateFolder("sys/devices/sdb/sdb1");
        fs::create_directory_symlink("../devices/sdb/sdb1", root / "sys/class/sdb1");
        m_machine.CreateFile("sys/class/sdc1/removable", "0\n");
        fs::create_symlink("../dev/sdb1", root / "by-label/STICK\\x20Anna");
        fs::create_symlink("../dev/sda1", root / "by-label/debian");
    }

    ~PosixVolumesTest() override { RebuildDrives(); }

    std::string Device(const char* name) const { return (m_machine.Path() / "dev" / name).string(); }

    void WriteMountTable(const std::string& text) const
    {
        m_machine.CreateFile("mounts", text);
    }

    testing::TempFolder m_machine;
    TVolumeSources m_sources;
};

TEST_F(PosixVolumesTest, UserVolumesGetLettersWithTypesLabelsAndCaseFlags)
{
    WriteMountTable(Device("sda1") + " / ext4 rw 0 0\n"
                    "proc /proc proc rw 0 0\n"
                    "tmpfs /run/user/1000 tmpfs rw 0 0\n" +
                    Device("sdb1") + " /media/anna/STICK\\040ANNA vfat rw 0 0\n"
                    "//Server/Musik /srv/musik cifs rw 0 0\n" +
                    Device("sr0") + " /media/anna/CD iso9660 ro 0 0\n"
                    "tmpfs /mnt/ram tmpfs rw 0 0\n" +
                    Device("sdc1") + " /run/media/anna/data ext4 rw 0 0\n"
                    "server:/export /home/anna/nfs nfs4 rw 0 0\n"
                    "anna@host:/ /opt/remote fuse.sshfs rw 0 0\n"
                    "/dev/sdx9 /usr/local ext4 rw 0 0\n");
    const std::vector<TVolumeDrive> drives
        = VolumeDrives(ReadMountTable(m_sources.MountTable), "/home/anna", m_sources);

    // Letter, root, type, label, case flags (2 keeps case, 3 also tells it apart), remote name.
    std::vector<std::string> found;
    for (const TVolumeDrive& d : drives) {
        found.push_back(std::string{d.Letter} + " " + d.UnixRoot + " " + std::to_string(d.DriveType) + " [" + d.Label +
                        "] " + std::to_string(d.FileSystemFlags) + " " + d.RemoteName);
    }
    EXPECT_EQ(found, (std::vector<std::string>{
                         "C /home/anna 3 [] 3 ",
                         "D /media/anna/STICK ANNA 2 [STICK Anna] 2 ",
                         "E /srv/musik 4 [] 2 //Server/Musik",
                         "F /media/anna/CD 5 [CD] 3 ",
                         "G /mnt/ram 6 [] 3 ",
                         "H /run/media/anna/data 3 [data] 3 ",
                         "I /home/anna/nfs 4 [] 3 server:/export",
                         "J /opt/remote 4 [] 3 anna@host:/",
                         "Z / 3 [] 3 ",
                     }));
}

TEST_F(PosixVolumesTest, LabelsComeFromTheFileSystemElseFromTheDesktopsMountFolder)
{
    for (const char* device : {"sdd1", "sde1", "sdf1", "sdg1", "sdh1"}) m_machine.CreateFile(std::string("dev/") + device);
    m_machine.CreateFolder("by-uuid");
    fs::create_symlink("../dev/sde1", m_machine.Path() / "by-uuid/1234-ABCD");
    fs::create_symlink("../dev/sdb1", m_machine.Path() / "by-uuid/9999-0000");
    m_sources.ByUuidFolder = (m_machine.Path() / "by-uuid").string();
    struct {
        std::string Device;
        const char* MountPoint;
        const char* Label;
    } cases[] = {
        {"sdb1", "/media/anna/OTHER", "STICK Anna"},  // the file system's label wins
        {"sdd1", "/media/anna/MUSIK\\040STICK", "MUSIK STICK"},
        {"sdf1", "/run/media/anna/Urlaub", "Urlaub"},
        {"sde1", "/media/anna/1234-ABCD", ""},  // only the UUID
        {"sdg1", "/media/anna/a/b", ""},
        {"sdh1", "/media/STICK", ""},
        {"sdc1", "/mnt/usb", ""},
    };
    std::string table;
    for (const auto& c : cases) table += Device(c.Device.c_str()) + " " + c.MountPoint + " vfat rw 0 0\n";
    // Mounted through FUSE, with no device named: the folder alone.
    table += "fusefat /media/anna/FUSE fuse.fusefat rw 0 0\n";
    WriteMountTable(table);
    const auto check = [&](const char* where) {
        const std::vector<TVolumeDrive> drives = VolumeDrives(ReadMountTable(m_sources.MountTable), "/root", m_sources);
        ASSERT_EQ(drives.size(), std::size(cases) + 3) << where;
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            EXPECT_EQ(drives[i + 1].Label, cases[i].Label) << where << " " << cases[i].MountPoint;
        }
        EXPECT_EQ(drives[std::size(cases) + 1].Label, "FUSE") << where;
    };
    check("with the device manager's links");
    // Without a device manager there are no links at all, and the mount folder is all there is.
    m_sources.ByLabelFolder = (m_machine.Path() / "none").string();
    m_sources.ByUuidFolder = m_sources.ByLabelFolder;
    cases[0].Label = "OTHER";
    cases[3].Label = "1234-ABCD";
    check("without them");
}

TEST_F(PosixVolumesTest, AMountPointCountsOnceAHomeOnTheNetworkNotAtAllAndLettersEndAtY)
{
    std::string table = "server:/home /root nfs4 rw 0 0\n" + Device("sdc1") + " /mnt/a ext4 rw 0 0\n" +
        Device("sdb1") + " /mnt/a vfat rw 0 0\n";
    for (int i = 0; i < 30; ++i) table += "tmpfs /mnt/t" + std::to_string(i) + " tmpfs rw 0 0\n";
    WriteMountTable(table);
    const std::vector<TVolumeDrive> drives = VolumeDrives(ReadMountTable(m_sources.MountTable), "/root", m_sources);
    ASSERT_EQ(drives.size(), 2u + 22u);
    EXPECT_EQ(drives[1].Letter, 'D');
    EXPECT_EQ(drives[1].DriveType, kDriveRemovable) << "the later mount covers the earlier one";
    EXPECT_EQ(drives[2].UnixRoot, "/mnt/t0");
    EXPECT_EQ(drives[22].Letter, 'Y');
    EXPECT_EQ(drives[22].UnixRoot, "/mnt/t20");
    EXPECT_EQ(drives.back().Letter, 'Z');
}

TEST_F(PosixVolumesTest, TheServiceAnswersForTheDrivesItGaveLetters)
{
    testing::TempFolder share;
    const std::string gone = (m_machine.Path() / "gone").string();
    WriteMountTable(Device("sda1") + " / ext4 rw 0 0\n"
                    "//server/musik " + share.Path().string() + " cifs rw 0 0\n"
                    "//server/weg " + gone + " smb3 rw 0 0\n");
    TPosixVolumes volumes(m_sources);
    EXPECT_EQ(volumes.LogicalDrives(), (1u << 2) | (1u << 3) | (1u << 4) | (1u << 25));

    std::uint32_t error = 0;
    EXPECT_EQ(ToUnixPath("D:\\Lied", error).value_or(""), share.Path().string() + "/Lied");
    EXPECT_EQ(ToUnixPath("E:\\", error).value_or(""), gone);

    EXPECT_EQ(volumes.GetDriveType("d:\\"), kDriveRemote);
    EXPECT_EQ(volumes.GetDriveType("Z:\\"), kDriveFixed);
    EXPECT_EQ(volumes.GetDriveType("q:\\"), kDriveNoRootDir);
    EXPECT_EQ(volumes.GetDriveType("d:"), kDriveNoRootDir) << "a root ends with a backslash";

    VolumeInformation information;
    ASSERT_TRUE(volumes.GetVolumeInformation("Z:\\", information));
    EXPECT_EQ(information.Label, "") << "the root is no volume of its own";
    EXPECT_EQ(information.FileSystemFlags, kCasePreservedNames | kCaseSensitiveSearch);
    ASSERT_TRUE(volumes.GetVolumeInformation("d:\\", information));
    EXPECT_EQ(information.Label, "");
    EXPECT_EQ(information.FileSystemFlags, kCasePreservedNames);
    EXPECT_FALSE(volumes.GetVolumeInformation("e:\\", information)) << "its mount point is gone";
    EXPECT_FALSE(volumes.GetVolumeInformation("q:\\", information));

    std::string remote;
    EXPECT_EQ(volumes.GetConnection("d:", remote), 0u);
    EXPECT_EQ(remote, "//server/musik");
    EXPECT_EQ(volumes.GetConnection("Z:", remote), kErrorNotConnected);
    EXPECT_EQ(volumes.GetConnection("q:", remote), kErrorBadDevice);

    EXPECT_EQ(volumes.SetErrorMode(kFailCriticalErrors), 0u);
    EXPECT_EQ(volumes.SetErrorMode(0), kFailCriticalErrors);
}

// The table escapes blanks, tabs, newlines and backslashes; any other byte,
// a carriage return or a form feed in a stick's name too, belongs to its field.
TEST_F(PosixVolumesTest, OnlyBlanksAndTabsSeparateTheFieldsOfTheMountTable)
{
    WriteMountTable("/dev/sdb1 /media/a\\040b\r\v\fc\\134\\011 vfat rw 0 0\n"
                    "\t//s/m\t\t/mnt/m  cifs\n"
                    "short line\n");
    std::vector<std::string> read;
    for (const TMountEntry& mount : ReadMountTable(m_sources.MountTable)) {
        read.push_back(mount.Source + "|" + mount.MountPoint + "|" + mount.Type);
    }
    EXPECT_EQ(read, (std::vector<std::string>{"/dev/sdb1|/media/a b\r\v\fc\\\t|vfat", "//s/m|/mnt/m|cifs"}));
}

}  // namespace
}  // namespace quorvane::platform::posix
