#include "platform/posix/ProfileFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::platform::posix {
namespace {

using quorvane::testing::TempFolder;
namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

std::string Read(const fs::path& path, std::string_view key, std::string_view defaultValue = "vorgabe",
                 std::size_t bufferSize = 1024)
{
    return ReadProfileFileString(path.string(), "FormMain", key, defaultValue, bufferSize);
}

bool Write(const fs::path& path, std::string_view key, std::string_view value)
{
    return WriteProfileFileString(path.string(), "FormMain", key, value);
}

TEST(PosixProfileFileTest, ReadsDefaultsUntilTheFirstWriteCreatesTheFile)
{
    TempFolder folder;
    const fs::path ini = folder.Path() / "quorvane.ini";
    EXPECT_EQ(Read(ini, "Oben"), "vorgabe");
    EXPECT_EQ(Read(folder.Path() / "fehlt" / "quorvane.ini", "Oben"), "vorgabe");
    EXPECT_EQ(Read(ini, "Oben", "C:\\  "), "C:\\");
    EXPECT_TRUE(folder.Names().empty());

    ASSERT_TRUE(Write(ini, "Directory", "C:\\Musik"));
    ASSERT_TRUE(Write(ini, "Status", ""));
    ASSERT_TRUE(Write(ini, "directory", "C:\\Live"));
    EXPECT_EQ(testing::FileContent(ini), "[FormMain]\nDirectory=C:\\Live\nStatus=\n");
    EXPECT_EQ(Read(ini, "Oben"), "vorgabe");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"quorvane.ini"});

    ASSERT_TRUE(Write(ini, "Directory", std::string(5000, 'x')));
    EXPECT_EQ(Read(ini, "Directory"), std::string(1023, 'x'));
    EXPECT_EQ(Read(ini, "Directory", "", 1), "");
    EXPECT_EQ(Read(ini, "Directory", "", 0), "");
    EXPECT_EQ(Read(ini, "Oben", "12345", 3), "12");
}

TEST(PosixProfileFileTest, KeepsForeignLinesAndLongBinaryContentByteForByte)
{
    TempFolder folder;
    std::string foreign = "; von Hand\r\n[Andere]\r\nBlob=";
    for (int i = 0; i < 300000; ++i) foreign.push_back(static_cast<char>(i % 256));
    foreign += "\r\n";
    const fs::path ini = folder.CreateFile("quorvane.ini", foreign + "[FormMain]\r\nOben=1\r\n");

    ASSERT_TRUE(Write(ini, "Oben", "2"));
    ASSERT_TRUE(Write(ini, "Links", "3"));
    EXPECT_EQ(testing::FileContent(ini), foreign + "[FormMain]\r\nOben=2\r\nLinks=3\r\n");
}

TEST(PosixProfileFileTest, ReplacementKeepsPermissionsAndLinksAndLeavesNoTemporaryFile)
{
    TempFolder folder;
    const fs::path ini = folder.CreateFile("quorvane.ini", "[FormMain]\nOben=1\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0640), 0);
    ASSERT_TRUE(Write(ini, "Oben", "2"));
    EXPECT_EQ(ModeOf(ini), 0640u);

    const fs::path link = folder.Path() / "verweis.ini";
    fs::create_symlink(ini, link);
    ASSERT_TRUE(Write(link, "Oben", "3"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testing::FileContent(ini), "[FormMain]\nOben=3\n");
    EXPECT_EQ(ModeOf(ini), 0640u);

    const mode_t previousMask = ::umask(027);
    const bool created = Write(folder.Path() / "neu.ini", "Oben", "1");
    ::umask(previousMask);
    ASSERT_TRUE(created);
    EXPECT_EQ(ModeOf(folder.Path() / "neu.ini"), 0640u);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"neu.ini", "quorvane.ini", "verweis.ini"}));
}

TEST(PosixProfileFileTest, ReportsFailureAndLeavesEverythingAsItWasWhenTheFileCannotBeWritten)
{
    TempFolder folder;
    EXPECT_FALSE(Write(folder.Path() / "fehlt" / "quorvane.ini", "Oben", "1"));
    folder.CreateFile("datei", "kein Ordner");
    EXPECT_FALSE(Write(folder.Path() / "datei" / "quorvane.ini", "Oben", "1"));
    folder.CreateFolder("ordner.ini");
    EXPECT_FALSE(Write(folder.Path() / "ordner.ini", "Oben", "1"));
    EXPECT_FALSE(Write(folder.Path() / "quorvane.ini", "Ob=en", "1"));
    EXPECT_EQ(testing::FileContent(folder.Path() / "datei"), "kein Ordner");
    EXPECT_TRUE(fs::is_empty(folder.Path() / "ordner.ini"));

    const fs::path pipe = folder.Path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(Read(pipe, "Oben"), "vorgabe");
    EXPECT_FALSE(Write(pipe, "Oben", "1"));
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"datei", "ordner.ini", "pipe.ini"}));

    // Write protection does not bind the administrator, on Windows neither.
    if (::geteuid() == 0) return;
    const fs::path ini = folder.CreateFile("quorvane.ini", "[FormMain]\nOben=1\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
    EXPECT_FALSE(Write(ini, "Oben", "2"));
    EXPECT_EQ(testing::FileContent(ini), "[FormMain]\nOben=1\n");
}

// What stands under the settings file's name decides whether it can be used
// there: only a regular file of at most 4 MB is read (a named pipe must
// never block the start), and nothing else is ever written or replaced.
TEST(PosixProfileFileTest, OnlyARegularFileOfAFewMegabytesIsReadOrReplaced)
{
    TempFolder folder;
    const fs::path pipe = folder.Path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    folder.CreateFolder("ordner.ini");
    const std::string huge = "[FormMain]\nOben=1\n;" + std::string(4u << 20, '-') + "\n";
    folder.CreateFile("gross.ini", huge);
    folder.CreateFile("klein.ini", "[FormMain]\nOben=1\n;" + std::string((4u << 20) - 20, '-') + "\n");
    fs::create_symlink("ordner.ini", folder.Path() / "verweis-ordner.ini");
    fs::create_symlink("schleife.ini", folder.Path() / "schleife.ini");

    const std::tuple<const char*, bool, const char*> cases[] = {
        {"pipe.ini", false, "vorgabe"},          {"ordner.ini", false, "vorgabe"},
        {"gross.ini", false, "vorgabe"},         {"klein.ini", true, "1"},
        {"verweis-ordner.ini", false, "vorgabe"}, {"schleife.ini", false, "vorgabe"},
        {"fehlt.ini", true, "vorgabe"},
    };
    for (const auto& [name, usable, read] : cases) {
        const fs::path path = folder.Path() / name;
        EXPECT_EQ(IsUsableProfileFile(path.string()), usable) << name;
        EXPECT_EQ(Read(path, "Oben"), read) << name;
        EXPECT_EQ(Write(path, "Oben", "2"), usable) << name;
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_empty(folder.Path() / "ordner.ini"));
    EXPECT_TRUE(testing::FileContent(folder.Path() / "gross.ini") == huge);
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "schleife.ini"));
}

// A link that points nowhere yet (a settings file kept among the user's other
// files, not made yet) is written through: the file appears where it points,
// and the link stays a link. Where its target's folder is missing it is left alone.
TEST(PosixProfileFileTest, ALinkThatPointsNowhereIsWrittenThroughOrLeftAlone)
{
    TempFolder folder;
    folder.CreateFolder("dotfiles");
    const fs::path link = folder.Path() / "quorvane.ini";
    fs::create_symlink("dotfiles/zwischen.ini", link);
    fs::create_symlink("quorvane.ini", folder.Path() / "dotfiles" / "zwischen.ini");
    const fs::path target = folder.Path() / "dotfiles" / "quorvane.ini";
    EXPECT_TRUE(IsUsableProfileFile(link.string()));
    EXPECT_EQ(Read(link, "Oben"), "vorgabe");
    ASSERT_TRUE(Write(link, "Oben", "5"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testing::FileContent(target), "[FormMain]\nOben=5\n");
    EXPECT_EQ(Read(link, "Oben"), "5");

    const fs::path nowhere = folder.Path() / "nirgends.ini";
    fs::create_symlink("fehlt/quorvane.ini", nowhere);
    EXPECT_FALSE(Write(nowhere, "Oben", "5"));
    EXPECT_TRUE(fs::is_symlink(nowhere));
    EXPECT_FALSE(fs::exists(folder.Path() / "fehlt"));
}

// A disk that fills up while the file is written: the file-size limit makes
// the system refuse the write just as a full disk would, even for root.
TEST(PosixProfileFileTest, AWriteThatFailsHalfwayLeavesTheOldFileIntact)
{
    TempFolder folder;
    const std::string old = "[FormMain]\nOben=1\n; " + std::string(4000, '-') + "\n";
    const fs::path ini = folder.CreateFile("quorvane.ini", old);

    struct rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    struct rlimit limit = previous;
    limit.rlim_cur = 1000;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool written = Write(ini, "Oben", "2");
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(testing::FileContent(ini), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"quorvane.ini"});
}

}  // namespace
}  // namespace quorvane::platform::posix
