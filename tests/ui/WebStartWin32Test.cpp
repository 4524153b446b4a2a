#include "ui/WebStart.h"

#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/win32/Win32Api.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Win32ClassesKeys.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace quorvane {
namespace {

using testing::TempFolder;
using testing::Win32ClassesKeys;

// The first line a started browser wrote, once its file is complete;
// nothing when it did not come within a bound generous for a loaded machine.
// The browser runs on its own, so this has to wait for it.
std::optional<std::string> LineWritten(const std::filesystem::path& file)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(file, std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (const std::size_t end = content.find("\r\n"); end != std::string::npos) return content.substr(0, end);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

// The recorder built beside this test program, which writes down the
// parameters it was started with.
std::filesystem::path CommandLineRecorder()
{
    char own[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, own, MAX_PATH);
    return std::filesystem::path(std::string(own, length)).parent_path() / "quorvane_command_line_recorder.exe";
}

// A browser registered for web pages in the system's registry, found there
// and started through the system's shell: a copy of the recorder, which
// writes its parameters into the file named like it with ".txt".
TEST(WebStartWin32Test, StartsTheRegisteredBrowserWithTheAddressAndTheMailLink)
{
    ASSERT_EQ(&platform::HostRegistry(), &platform::NativeRegistry());
    ASSERT_EQ(&platform::HostShell(), &platform::NativeShell());
    TempFolder folder;
    Win32ClassesKeys keys;
    if (!keys.Add(".HTM", "Quorvane.Test.Page")) {
        GTEST_SKIP() << "the user has a web page association of their own, which this test must not touch";
    }
    ASSERT_TRUE(keys.Add("Quorvane.Test.Page"));
    const auto registerBrowser = [&](const std::string& name) {
        std::filesystem::copy_file(CommandLineRecorder(), folder.Path() / (name + ".exe"));
        return keys.Add("Quorvane.Test.Page\\shell\\open\\command",
                        "\"" + folder.Name() + "\\" + name + ".exe\" --new-window \"%1\"");
    };

    TWebStart webStart;
    webStart.SetUrl("https://www.quorvane.example.org");
    ASSERT_TRUE(registerBrowser("Browser eins"));
    ASSERT_TRUE(webStart.OpenUrl());
    EXPECT_EQ(LineWritten(folder.Path() / "Browser eins.txt"), "--new-window https://www.quorvane.example.org");

    webStart.SetEMail("info@quorvane.example.org");
    webStart.SetEMailSubject("Quorvane V1.24");
    webStart.SetBrowserState(gwNormal);
    ASSERT_TRUE(registerBrowser("Browser zwei"));
    ASSERT_TRUE(webStart.SendEMail());
    EXPECT_EQ(LineWritten(folder.Path() / "Browser zwei.txt"),
              "--new-window mailto:info@quorvane.example.org?subject=Quorvane%20V1.24");

    ASSERT_TRUE(keys.Add("Quorvane.Test.Page\\shell\\open\\command", "\"" + folder.Name() + "\\gone.exe\" \"%1\""));
    EXPECT_FALSE(webStart.OpenUrl());
}

}  // namespace
}  // namespace quorvane
