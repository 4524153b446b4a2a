#include "platform/Shell.h"
#include "platform/posix/PosixShell.h"

#include "platform/FileSystem.h"
#include "platform/posix/DriveNameSpace.h"
#include "tests/support/ArgumentRecorder.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvane::platform {
namespace {

using testing::ArgumentRecorder;
using testing::ScopedCurrentFolder;
using testing::ScopedEnvironment;
using testing::TempFolder;
using Words = std::vector<std::string>;

// The launcher quotes the arguments of a desktop entry into one parameter
// text, so each case must also come back whole from its quoted form.
TEST(PosixShellTest, SplitsParametersAsAWindowsProgramWouldAndQuotesThemBackUnchanged)
{
    const std::pair<std::string, Words> cases[] = {
        {"", {}},
        {" a  b\tc ", {"a", "b", "c"}},
        {R"("a b" c)", {"a b", "c"}},
        {R"(a"b c"d)", {"ab cd"}},
        {R"(a "" b)", {"a", "", "b"}},
        {R"("a""b")", {"a\"b"}},
        {R"("unclosed b)", {"unclosed b"}},
        {R"(\"a)", {"\"a"}},
        {R"(\\"a b")", {"\\a b"}},
        {R"(\\\"a)", {"\\\"a"}},
        {R"(a\\b c\)", {"a\\\\b", "c\\"}},
        {R"("C:\Pfad mit\\" x)", {"C:\\Pfad mit\\", "x"}},
        {" mailto:info@quorvane.example.org?subject=Quorvane V1.24",
         {"mailto:info@quorvane.example.org?subject=Quorvane", "V1.24"}},
        {R"("\\server\a b\\" "x\\\"y" "")", {R"(\\server\a b\)", R"(x\"y)", ""}},
    };
    for (const auto& [parameters, words] : cases) {
        EXPECT_EQ(posix::SplitCommandLine(parameters), words) << parameters;
        EXPECT_EQ(posix::SplitCommandLine(QuotedCommandLine(words)), words) << QuotedCommandLine(words);
    }
}

// True when this process has no child left, so nothing it started became a zombie.
bool NoChildLeft()
{
    int status = 0;
    return ::waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

TEST(PosixShellTest, StartsTheProgramDetachedWithItsArguments)
{
    TempFolder folder;
    // A descriptor this process leaves open across exec; the program must
    // not inherit it all the same.
    const int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 0);
    ArgumentRecorder recorder(folder.Path() / "browser", folder.Path() / "arguments", leaked);

    const std::intptr_t result =
        NativeShell().Execute(0, recorder.Script().string(), R"(-x "a b"  c\"d "" ü)", kShowMaximized);
    ::close(leaked);
    EXPECT_GT(result, 32);
    EXPECT_TRUE(NoChildLeft());
    const auto lines = recorder.Lines();
    ASSERT_TRUE(lines);
    const std::string session = "session=" + std::to_string(::getsid(0));
    EXPECT_EQ(*lines, (Words{"-x", "a b", "c\"d", "", "ü", "stdin=/dev/null", "stdout=/dev/null",
                             "stderr=/dev/null", "fd=closed", lines->back()}));
    EXPECT_NE(lines->back(), session);
}

TEST(PosixShellTest, LooksUpNamesWithoutSlashInThePath)
{
    TempFolder folder;
    folder.CreateFile("first/browser", "#!/bin/sh\nexit 0\n");  // not executable: passed over
    folder.CreateFolder("empty");
    ArgumentRecorder recorder(folder.CreateFolder("second") / "browser", folder.Path() / "arguments");
    ScopedEnvironment environment;
    const char* systemPath = std::getenv("PATH");
    environment.Set("PATH", (folder.Path() / "empty").string() + "::" + (folder.Path() / "first").string() + ":" +
                                (folder.Path() / "second").string() + "/:" +
                                (systemPath ? systemPath : "/usr/bin:/bin"));
    EXPECT_GT(NativeShell().Execute(0, "browser", "https://www.quorvane.example.org", kShowNormal), 32);
    const auto lines = recorder.Lines();
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->front(), "https://www.quorvane.example.org");
    EXPECT_TRUE(NoChildLeft());
}

// Neither the folder the user browsed to nor the one the process happens to
// be in may become the started program's: it would hold a stick busy.
TEST(PosixShellTest, StartsTheProgramInTheHomeFolder)
{
    TempFolder folder;
    const std::filesystem::path output = folder.Path() / "folder";
    const std::filesystem::path script = folder.CreateFile(
        "where", "#!/bin/sh\npwd -P > '" + output.string() + ".part' && mv '" + output.string() + ".part' '" +
                     output.string() + "'\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    FileSystem& fileSystem = NativeFileSystem();
    const std::string browsed = fileSystem.GetCurrentDirectory();
    ASSERT_EQ(fileSystem.SetCurrentDirectory(*posix::FromUnixPath(folder.Path().string())), kErrorSuccess);
    {
        const ScopedCurrentFolder inFolder(folder.Path());
        EXPECT_GT(NativeShell().Execute(0, script.string(), "", kShowNormal), 32);
    }
    fileSystem.SetCurrentDirectory(browsed);
    for (int i = 0; i < 2000 && !std::filesystem::exists(output); ++i) ::usleep(10000);
    std::ifstream in(output);
    std::string started;
    std::getline(in, started);
    const std::string home = posix::Drives().front().UnixRoot;
    EXPECT_EQ(started, std::filesystem::is_directory(home) ? home : "/") << "a missing home gives the root";
    EXPECT_TRUE(NoChildLeft());
}

TEST(PosixShellTest, ReportsProgramsThatCannotBeFoundOrStarted)
{
    TempFolder folder;
    const std::string notExecutable = folder.CreateFile("plain", "#!/bin/sh\n").string();
    const std::string noFormat = folder.CreateFile("garbage", "\x7f" "ELF?").string();
    std::filesystem::permissions(noFormat, std::filesystem::perms::owner_all);
    ScopedEnvironment environment;
    environment.Set("PATH", folder.Path().string());

    const std::pair<std::string, std::intptr_t> cases[] = {
        {"", kShellFileNotFound},
        {(folder.Path() / "missing").string(), kShellFileNotFound},
        {"missing", kShellFileNotFound},
        {"plain", kShellFileNotFound},
        {(folder.Path() / "plain" / "below").string(), kShellPathNotFound},
        {notExecutable, kShellAccessDenied},
        {folder.Path().string(), kShellAccessDenied},
        {noFormat, kShellBadFormat},
    };
    for (const auto& [program, expected] : cases) {
        EXPECT_EQ(NativeShell().Execute(0, program, "x", kShowNormal), expected) << program;
    }
    EXPECT_TRUE(NoChildLeft());
}

}  // namespace
}  // namespace quorvane::platform
