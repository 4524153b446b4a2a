#include "platform/FileSystem.h"

#include "platform/Module.h"
#include "platform/posix/DriveNameSpace.h"
#include "platform/posix/PosixRename.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::platform {
namespace {

using Listing = std::map<std::string, std::uint32_t>;

std::vector<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string WorkingDirectory()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// A real temporary folder, named in the drive-letter space as the program
// sees it (Z:\tmp\quorvane-test-...). The current folder is put back after
// each test, since the file system's current folder is the process's.
class PosixFileSystemTest : public ::testing::Test {
protected:
    void TearDown() override { m_fs.SetCurrentDirectory(m_savedFolder); }

    std::string Name(std::string_view relative = {}) const
    {
        std::string name = m_folder;
        if (!relative.empty()) name += "\\" + std::string(relative);
        return name;
    }

    Listing List(std::string_view mask, std::uint32_t needed = kAllAttributes)
    {
        Listing listing;
        std::unique_ptr<FindHandle> find = m_fs.FindFirstReporting(Name(mask), needed);
        if (find == nullptr) return {{"<nothing>", 0}};
        FindEntry entry;
        while (find->Next(entry)) listing[entry.Name] = entry.Attributes;
        return listing;
    }

    std::set<std::string> Names(std::string_view mask)
    {
        std::set<std::string> names;
        for (const auto& [name, attributes] : List(mask)) names.insert(name);
        return names;
    }

    testing::TempFolder m_temp;
    FileSystem& m_fs = NativeFileSystem();
    std::string m_folder = posix::FromUnixPath(m_temp.Path().string()).value();
    std::string m_savedFolder = m_fs.GetCurrentDirectory();
};

TEST_F(PosixFileSystemTest, EntriesComeWithTheirAttributes)
{
    m_temp.CreateFile("a.mp3");
    m_temp.CreateFile(".hidden.mp3");
    m_temp.CreateFolder("sub.mp3");
    std::filesystem::create_symlink("sub.mp3", m_temp.Path() / "link.mp3");
    std::filesystem::create_symlink("missing", m_temp.Path() / "dead.mp3");

    EXPECT_EQ(List("*.mp3"), (Listing{{"a.mp3", faArchive},
                                      {".hidden.mp3", faHidden | faArchive},
                                      {"sub.mp3", faDirectory},
                                      {"link.mp3", faDirectory},
                                      {"dead.mp3", faArchive}}));
    EXPECT_EQ(List("*").at("."), faDirectory);
    EXPECT_EQ(List("*").at(".."), faDirectory);
    // Only what the caller asked for.
    EXPECT_EQ(List("*.mp3", faDirectory),
        (Listing { { "a.mp3", 0 }, { ".hidden.mp3", 0 }, { "sub.mp3", faDirectory }, { "link.mp3", faDirectory },
            { "dead.mp3", 0 } }));

    EXPECT_EQ(List("missing\\*").begin()->first, "<nothing>");
    EXPECT_EQ(List("a.mp3\\*").begin()->first, "<nothing>");
    EXPECT_EQ(m_fs.FindFirst("Q:\\*"), nullptr);

    std::uint32_t attributes = 0;
    EXPECT_TRUE(m_fs.GetFileAttributes(Name("sub.mp3"), attributes));
    EXPECT_EQ(attributes, faDirectory);
    EXPECT_TRUE(m_fs.GetFileAttributes(Name(".hidden.mp3"), attributes));
    EXPECT_EQ(attributes, faHidden | faArchive);
    EXPECT_TRUE(m_fs.FileExists(Name("a.mp3")));
    EXPECT_FALSE(m_fs.FileExists(Name("sub.mp3")));
    EXPECT_FALSE(m_fs.FileExists(Name("b.mp3")));
}

TEST_F(PosixFileSystemTest, ReadOnlyFilesAreListedAsSuch)
{
    const std::filesystem::path folder = m_temp.CreateFolder("ro");
    std::filesystem::path file = m_temp.CreateFile("ro/w.mp3");
    if (::geteuid() == 0) {
        // The superuser may write everything the permissions forbid, so only
        // a read-only file system shows the attribute.
        if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "running as root and cannot mount a tmpfs: " << std::strerror(errno);
        }
        m_temp.CreateFile("ro/w.mp3");
        m_temp.CreateFile("ro/r.mp3");
        ASSERT_EQ(List("ro\\*.mp3"), (Listing{{"w.mp3", faArchive}, {"r.mp3", faArchive}}));
        const bool remounted = ::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
        const Listing listing = List("ro\\*.mp3");
        ::umount2(folder.c_str(), MNT_DETACH);
        ASSERT_TRUE(remounted) << std::strerror(errno);
        EXPECT_EQ(listing, (Listing{{"w.mp3", faReadOnly | faArchive}, {"r.mp3", faReadOnly | faArchive}}));
        return;
    }
    file = m_temp.CreateFile("ro/r.mp3");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_EQ(List("ro\\*.mp3"), (Listing{{"w.mp3", faArchive}, {"r.mp3", faReadOnly | faArchive}}));
}

TEST_F(PosixFileSystemTest, MasksMatchCharactersWithoutRegardToCase)
{
    for (const char* name : {"a.mp3", "B.MP3", "äb.txt", "Äc", "noext", "x.y.z", "ä.mp3", "aä.mp3", "\xFF.mp3",
                             "\xC3.mp3", "with\\backslash.mp3", "\\"}) {
        m_temp.CreateFile(name);
    }
    using NameSet = std::set<std::string>;
    const NameSet all
        = { ".", "..", "a.mp3", "B.MP3", "äb.txt", "Äc", "noext", "x.y.z", "ä.mp3", "aä.mp3", "\xFF.mp3", "\xC3.mp3" };
    const struct {
        const char* Mask;
        NameSet Expected;
    } cases[] = {
        {"*.mp3", {"a.mp3", "B.MP3", "ä.mp3", "aä.mp3", "\xFF.mp3", "\xC3.mp3"}},
        {"*.MP3", {"a.mp3", "B.MP3", "ä.mp3", "aä.mp3", "\xFF.mp3", "\xC3.mp3"}},
        {"Ä*", {"äb.txt", "Äc", "ä.mp3"}},
        {"?.mp3", {"a.mp3", "B.MP3", "ä.mp3", "\xFF.mp3", "\xC3.mp3"}},
        {"??.mp3", {"aä.mp3"}},
        {"\xFF*", {"\xFF.mp3"}},
        {"*\xC3*", {"\xC3.mp3"}},
        {"*", all},
        {"*.*", all},
        {"noext.*", {"noext"}},
        {"x.*", {"x.y.z"}},
        {"*.z", {"x.y.z"}},
        {"*y*z", {"x.y.z"}},
        {"a*", {"a.mp3", "aä.mp3"}},
        {"nothing*", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Names(c.Mask), c.Expected) << c.Mask;
    }
}

TEST_F(PosixFileSystemTest, RenamesNeverReplaceAndKeepBytes)
{
    m_temp.CreateFile("a.mp3", "a");
    m_temp.CreateFile("b.mp3", "b");
    EXPECT_EQ(m_fs.MoveFile(Name("a.mp3"), Name("b.mp3")), kErrorAlreadyExists);
    EXPECT_EQ(testing::FileContent(m_temp.Path() / "a.mp3"), "a");
    EXPECT_EQ(testing::FileContent(m_temp.Path() / "b.mp3"), "b");

    struct stat before {};
    ::stat((m_temp.Path() / "a.mp3").c_str(), &before);
    EXPECT_EQ(m_fs.MoveFile(Name("a.mp3"), Name("a.mp3")), kErrorSuccess);
    struct stat after {};
    ::stat((m_temp.Path() / "a.mp3").c_str(), &after);
    EXPECT_EQ(before.st_ctim.tv_nsec, after.st_ctim.tv_nsec);
    EXPECT_EQ(m_fs.MoveFile(Name("gone.mp3"), Name("gone.mp3")), kErrorFileNotFound);

    EXPECT_EQ(m_fs.MoveFile(Name("a.mp3"), Name("A.mp3")), kErrorSuccess);
    m_temp.CreateFile("\xFF\xE4rger - x.mp3", "x");
    EXPECT_EQ(m_fs.MoveFile(Name("\xFF\xE4rger - x.mp3"), Name("X - \xFF\xE4rger.mp3")), kErrorSuccess);
    EXPECT_EQ(m_temp.Names(), (std::vector<std::string>{"A.mp3", "X - \xFF\xE4rger.mp3", "b.mp3"}));
    EXPECT_EQ(testing::FileContent(m_temp.Path() / "X - \xFF\xE4rger.mp3"), "x");

    EXPECT_EQ(m_fs.MoveFile(Name("missing.mp3"), Name("c.mp3")), kErrorFileNotFound);
    EXPECT_EQ(m_fs.MoveFile(Name("b.mp3"), Name("no\\c.mp3")), kErrorPathNotFound);
    EXPECT_EQ(m_fs.MoveFile(Name("b.mp3"), "Q:\\c.mp3"), kErrorInvalidDrive);
}

TEST_F(PosixFileSystemTest, TwoNamesOfOneFileStayApart)
{
    // Two hard links look to the rename like the two spellings of one name
    // on a case-insensitive file system; here both are real, and neither may go.
    m_temp.CreateFile("song.mp3", "s");
    std::filesystem::create_hard_link(m_temp.Path() / "song.mp3", m_temp.Path() / "Song.mp3");
    EXPECT_EQ(m_fs.MoveFile(Name("song.mp3"), Name("Song.mp3")), kErrorAlreadyExists);
    EXPECT_EQ(m_temp.Names(), (std::vector<std::string>{"Song.mp3", "song.mp3"}));
}

TEST_F(PosixFileSystemTest, FallbackRenamesNeverReplaceEither)
{
    using posix::RenameThroughTemporaryName;
    using posix::RenameWithoutReplacingByLink;
    const auto path = [this](const char* name) { return (m_temp.Path() / name).string(); };
    m_temp.CreateFile("a", "a");
    m_temp.CreateFile("b", "b");
    m_temp.CreateFolder("f");
    m_temp.CreateFolder("g");
    EXPECT_EQ(RenameWithoutReplacingByLink(path("a").c_str(), path("b").c_str()), EEXIST);
    EXPECT_EQ(RenameWithoutReplacingByLink(path("f").c_str(), path("g").c_str()), EEXIST);
    EXPECT_EQ(RenameWithoutReplacingByLink(path("a").c_str(), path("c").c_str()), 0);
    EXPECT_EQ(RenameWithoutReplacingByLink(path("f").c_str(), path("h").c_str()), 0);
    EXPECT_EQ(RenameWithoutReplacingByLink(path("x").c_str(), path("y").c_str()), ENOENT);
    EXPECT_EQ(RenameThroughTemporaryName(path("c").c_str(), path("b").c_str()), EEXIST);
    EXPECT_EQ(RenameThroughTemporaryName(path("c").c_str(), path("d").c_str()), 0);
    EXPECT_EQ(m_temp.Names(), (std::vector<std::string>{"b", "d", "g", "h"}));
    EXPECT_EQ(testing::FileContent(m_temp.Path() / "d"), "a");
    EXPECT_EQ(testing::FileContent(m_temp.Path() / "b"), "b");
}

TEST_F(PosixFileSystemTest, ChangesOfCaseWorkOnCaseInsensitiveFileSystems)
{
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a vfat image needs the superuser";
    if (std::system("command -v mkfs.vfat >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "mkfs.vfat (Debian package dosfstools) is not installed";
    }
    const std::string image = (m_temp.Path() / "vfat.img").string();
    const std::string mountPoint = m_temp.CreateFolder("vfat").string();
    if (std::system(("mkfs.vfat -C '" + image + "' 1024 >/dev/null 2>&1").c_str()) != 0 ||
        std::system(("mount -t vfat -o loop '" + image + "' '" + mountPoint + "' >/dev/null 2>&1").c_str()) != 0) {
        const bool kernelHasVfat = testing::FileContent("/proc/filesystems").find("vfat") != std::string::npos;
        GTEST_SKIP() << "cannot mount a vfat image here: "
                     << (kernelHasVfat ? "no free loop device or mounting is not allowed" : "the kernel has no vfat");
    }
    m_temp.CreateFile("vfat/song.mp3", "s");
    m_temp.CreateFile("vfat/other.mp3", "o");
    const std::uint32_t caseOnly = m_fs.MoveFile(Name("vfat\\song.mp3"), Name("vfat\\Song.mp3"));
    const std::uint32_t replacing = m_fs.MoveFile(Name("vfat\\other.mp3"), Name("vfat\\SONG.mp3"));
    const std::vector<std::string> names = NamesIn(mountPoint);
    ::umount2(mountPoint.c_str(), MNT_DETACH);
    EXPECT_EQ(caseOnly, kErrorSuccess);
    EXPECT_EQ(replacing, kErrorAlreadyExists);
    EXPECT_EQ(names, (std::vector<std::string>{"Song.mp3", "other.mp3"}));
}

TEST_F(PosixFileSystemTest, CurrentFoldersPerDrive)
{
    m_temp.CreateFolder("sub/deeper");
    m_temp.CreateFile("file.mp3");
    const struct {
        std::string Path;
        std::uint32_t Error;
    } failures[] = {
        {Name("missing"), kErrorFileNotFound},
        {Name("missing\\deeper"), kErrorPathNotFound},
        {Name("file.mp3"), kErrorDirectory},
        {Name("file.mp3\\x"), kErrorPathNotFound},
        {"Q:\\", kErrorInvalidDrive},
        {"Q:", kErrorInvalidDrive},
    };
    // The process waits in the home folder whatever the user browses, so
    // that no folder shown is held busy.
    const std::string home = posix::Drives().front().UnixRoot;
    const std::string start = WorkingDirectory();
    if (std::filesystem::is_directory(home)) {
        EXPECT_EQ(start, home);
    }
    ASSERT_EQ(m_fs.SetCurrentDirectory(Name()), kErrorSuccess);
    for (const auto& failure : failures) {
        EXPECT_EQ(m_fs.SetCurrentDirectory(failure.Path), failure.Error) << failure.Path;
        EXPECT_EQ(m_fs.GetCurrentDirectory(), Name());
    }

    EXPECT_EQ(m_fs.SetCurrentDirectory("sub\\deeper\\"), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name("sub\\deeper"));
    EXPECT_EQ(WorkingDirectory(), start);
    EXPECT_EQ(m_fs.SetCurrentDirectory(".."), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name("sub"));

    EXPECT_EQ(m_fs.SetCurrentDirectory("C:\\"), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), "C:\\");
    EXPECT_EQ(m_fs.SetCurrentDirectory("Z:"), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name("sub"));
    EXPECT_EQ(WorkingDirectory(), start);
    EXPECT_EQ(m_fs.SetCurrentDirectory("C:"), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), "C:\\");
    EXPECT_EQ(m_fs.SetCurrentDirectory("z:deeper"), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name("sub\\deeper"));

    // A pattern without a folder lists the current one.
    std::unique_ptr<FindHandle> find = m_fs.FindFirst("..\\..\\*.mp3");
    ASSERT_NE(find, nullptr);
    FindEntry entry;
    EXPECT_TRUE(find->Next(entry));
    EXPECT_EQ(entry.Name, "file.mp3");
}

TEST_F(PosixFileSystemTest, AVolumeTakenOutIsNotReady)
{
    const std::string volume = m_temp.CreateFolder("volume").string();
    ASSERT_TRUE(posix::RebuildDrives({{'D', volume}}));
    EXPECT_EQ(m_fs.SetCurrentDirectory("D:\\"), kErrorSuccess);
    EXPECT_EQ(m_fs.SetCurrentDirectory(Name()), kErrorSuccess);
    std::filesystem::remove(volume);
    EXPECT_EQ(m_fs.SetCurrentDirectory("D:"), kErrorNotReady);
    EXPECT_EQ(m_fs.MoveFile("D:\\a.mp3", "D:\\b.mp3"), kErrorNotReady);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name());
    posix::RebuildDrives();
}

TEST(PosixModuleTest, ModuleFileNameIsTheExecutableInDriveLetters)
{
    const std::string name = NativeModuleFileName();
    ASSERT_GE(name.size(), 3u);
    EXPECT_TRUE(name.rfind("C:\\", 0) == 0 || name.rfind("Z:\\", 0) == 0) << name;
    std::uint32_t error = 0;
    EXPECT_EQ(std::filesystem::path(posix::ToUnixPath(name, error).value()),
              std::filesystem::canonical("/proc/self/exe"));

    EXPECT_EQ(ReplaceModuleFileName("C:\\Test\\quorvane.exe"), "");
    EXPECT_EQ(ModuleFileName(), "C:\\Test\\quorvane.exe");
    EXPECT_EQ(ReplaceModuleFileName({}), "C:\\Test\\quorvane.exe");
    EXPECT_EQ(ModuleFileName(), name);
}

}  // namespace
}  // namespace quorvane::platform
