#include "platform/posix/PosixNameRules.h"

#include "tests/support/RealFileSystems.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvane::platform::posix {
namespace {

using testing::RealFileSystemKind;

TEST(PosixNameRulesTest, FamiliesByMagicNumberAndMountType)
{
    struct Case {
        unsigned long magic;
        const char* mountType;
        TNameFamily family;
    };
    const Case cases[] = {
        {0xEF53, "", TNameFamily::Native},  // ext4
        {0x01021994, "", TNameFamily::Native},  // tmpfs
        {0x4d44, "", TNameFamily::Fat},
        {0x2011BAB0, "", TNameFamily::WindowsNames},
        {0x7366746e, "", TNameFamily::WindowsNames},  // ntfs3
        {0xFE534D42, "", TNameFamily::WindowsNames},  // SMB 2 and 3
        {0x65735546, "fuse.fusefat", TNameFamily::FuseFat},
        {0x65735546, "fuseblk", TNameFamily::WindowsNames},
        {0x65735546, "fuse.sshfs", TNameFamily::Native},
        {0x65735546, "fuse", TNameFamily::Native},
    };
    for (const Case& c : cases) EXPECT_EQ(NameFamily(c.magic, c.mountType), c.family) << c.mountType << c.magic;
}

TEST(PosixNameRulesTest, KeysFoldWhatTheFolderTakesForOneName)
{
    struct Case {
        NameCase nameCase;
        std::string name;
        std::string key;
    };
    const Case cases[] = {
        {NameCase::Exact, "Abc \xC3\xA4.mp3", "Abc \xC3\xA4.mp3"},
        {NameCase::IgnoreAscii, "Abc \xC3\xA4.mp3", "ABC \xC3\xA4.MP3"},
        {NameCase::IgnoreLetters, "Abc \xC3\xA4.mp3", "ABC \xC3\x84.MP3"},
        {NameCase::IgnoreLetters, "\xCE\xB1\xCF\x82", "\xCE\x91\xCE\xA3"},  // Greek alpha and final sigma
        {NameCase::IgnoreLetters, "a\xFF" "b\xC3", "A\xFF" "B\xC3"},  // bytes that are no UTF-8 stay
    };
    std::string key;
    for (const Case& c : cases) {
        PosixNameKey(c.name, c.nameCase, key);
        EXPECT_EQ(key, c.key) << c.name;
    }
}

// The rules found on the file systems themselves, in a folder with a name to
// look up and in one without (where the folder's own name is looked up).
TEST(PosixNameRulesTest, RulesOfTheRealFileSystems)
{
    struct Case {
        RealFileSystemKind kind;
        NameCase nameCase;
        bool windowsNames;
        bool asciiOnly;
    };
    const Case cases[] = {
        {RealFileSystemKind::Fat, NameCase::IgnoreAscii, true, true},
        {RealFileSystemKind::ExFat, NameCase::IgnoreLetters, true, false},
        // NTFS-3G tells case apart unless told otherwise.
        {RealFileSystemKind::Ntfs, NameCase::Exact, true, false},
        {RealFileSystemKind::NoReplaceRefused, NameCase::Exact, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(testing::NameOf(c.kind)));
        testing::MountedFileSystem mounted(c.kind);
        if (mounted.Status() == testing::MountedFileSystem::State::Skipped) {
            std::printf("%s skipped: %s\n", std::string(testing::NameOf(c.kind)).c_str(), mounted.Reason().c_str());
            continue;
        }
        ASSERT_EQ(mounted.Status(), testing::MountedFileSystem::State::Mounted) << mounted.Reason();
        const std::filesystem::path filled = mounted.Path() / "Alben";
        const std::filesystem::path numbered = mounted.Path() / "Zahlen";
        std::filesystem::create_directory(filled);
        std::filesystem::create_directory(numbered);
        std::ofstream(filled / "Probe.mp3") << "x";
        std::ofstream(numbered / "01.mp3") << "x";
        for (const std::filesystem::path& folder : {filled, numbered}) {
            const FolderNameRules rules = FolderNameRulesOf(folder.string());
            EXPECT_EQ(rules.Case, c.nameCase) << folder;
            EXPECT_EQ(rules.ForbiddenCharacters == kWindowsForbiddenCharacters, c.windowsNames) << folder;
            EXPECT_EQ(rules.RefusesTrailingDotOrBlank, c.windowsNames) << folder;
            EXPECT_EQ(rules.AsciiOnly, c.asciiOnly) << folder;
            EXPECT_TRUE(rules.Writable);
        }
    }
    const testing::TempFolder native;
    native.CreateFile("Probe.mp3");
    native.CreateFile("probe.mp3");
    const FolderNameRules rules = FolderNameRulesOf(native.Path().string());
    EXPECT_EQ(rules.Case, NameCase::Exact);
    EXPECT_EQ(rules.ForbiddenCharacters, "\\/");
}

// Sets or clears the immutable or append-only flag; false where the file
// system or the process may not.
bool SetFlag(const std::filesystem::path& file, int flag, bool on)
{
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int flags = 0;
    bool done = descriptor >= 0 && ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | flag : flags & ~flag;
    done = done && ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    if (descriptor >= 0) ::close(descriptor);
    return done;
}

TEST(PosixNameRulesTest, ImmutableAndAppendOnlyFilesAndFoldersRefuseTheRename)
{
    const testing::TempFolder folder;
    const std::filesystem::path immutable = folder.CreateFile("fest.mp3");
    const std::filesystem::path appendOnly = folder.CreateFile("anhang.mp3");
    folder.CreateFile("frei.mp3");
    if (!SetFlag(immutable, FS_IMMUTABLE_FL, true)) GTEST_SKIP() << "this file system or process sets no flags";
    ASSERT_TRUE(SetFlag(appendOnly, FS_APPEND_FL, true));
    const std::unique_ptr<FolderEntries> entries = OpenPosixFolderEntries(folder.Path().string());
    ASSERT_NE(entries, nullptr);
    EXPECT_FALSE(entries->MayRename("fest.mp3"));
    EXPECT_FALSE(entries->MayRename("anhang.mp3"));
    EXPECT_TRUE(entries->MayRename("frei.mp3"));
    EXPECT_TRUE(FolderNameRulesOf(folder.Path().string()).Writable);
    // As the kernel has it: neither file can be renamed.
    EXPECT_NE(std::rename(immutable.c_str(), (folder.Path() / "x").c_str()), 0);
    EXPECT_NE(std::rename(appendOnly.c_str(), (folder.Path() / "y").c_str()), 0);
    SetFlag(immutable, FS_IMMUTABLE_FL, false);
    SetFlag(appendOnly, FS_APPEND_FL, false);

    ASSERT_TRUE(SetFlag(folder.Path(), FS_APPEND_FL, true));
    EXPECT_FALSE(FolderNameRulesOf(folder.Path().string()).Writable);
    SetFlag(folder.Path(), FS_APPEND_FL, false);
    ASSERT_TRUE(SetFlag(folder.Path(), FS_IMMUTABLE_FL, true));
    EXPECT_FALSE(FolderNameRulesOf(folder.Path().string()).Writable);
    SetFlag(folder.Path(), FS_IMMUTABLE_FL, false);
}

// In a sticky folder of another user, only the owner of a file may rename
// it. The test gives up the power to ignore owners (CAP_FOWNER) in a child
// process and compares the answer with the kernel's own, file by file.
TEST(PosixNameRulesTest, TheStickyFolderRuleIsTheKernels)
{
    const testing::TempFolder base;
    const std::filesystem::path folder = base.CreateFolder("geteilt");
    const std::filesystem::path others = base.CreateFile("geteilt/fremd.mp3");
    base.CreateFile("geteilt/eigen.mp3");
    if (::chown(folder.c_str(), 4711, 4711) != 0 || ::chown(others.c_str(), 4712, 4712) != 0) {
        GTEST_SKIP() << "files cannot be given to other users here";
    }
    ::chmod(folder.c_str(), 01777);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
        if (::syscall(SYS_capget, &header, data) != 0) ::_exit(10);
        data[CAP_TO_INDEX(CAP_FOWNER)].effective &= ~CAP_TO_MASK(CAP_FOWNER);
        if (::syscall(SYS_capset, &header, data) != 0) ::_exit(10);
        const std::unique_ptr<FolderEntries> entries = OpenPosixFolderEntries(folder.string());
        if (entries == nullptr) ::_exit(1);
        const bool foreign = entries->MayRename("fremd.mp3");
        const bool own = entries->MayRename("eigen.mp3");
        const bool kernelForeign = std::rename(others.c_str(), (folder / "a.mp3").c_str()) == 0;
        const bool kernelOwn = std::rename((folder / "eigen.mp3").c_str(), (folder / "b.mp3").c_str()) == 0;
        ::_exit((foreign ? 2 : 0) | (own ? 0 : 4) | (kernelForeign ? 8 : 0) | (kernelOwn ? 0 : 16));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 10) GTEST_SKIP() << "the process cannot give up capabilities";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no entries to ask, 2/4: another user's/own file misjudged, "
                                         "8/16: the kernel disagrees";
}

}  // namespace
}  // namespace quorvane::platform::posix
