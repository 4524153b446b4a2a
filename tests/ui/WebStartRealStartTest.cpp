#include "ui/WebStart.h"

#include "platform/Registry.h"
#include "platform/Shell.h"
#include "tests/support/ArgumentRecorder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvane {
namespace {

using testing::ArgumentRecorder;
using testing::ScopedEnvironment;
using testing::TempFolder;
using Words = std::vector<std::string>;

// The arguments a recorder wrote, without what it adds about its process.
Words ArgumentsOf(const ArgumentRecorder& recorder)
{
    const auto lines = recorder.Lines();
    if (!lines) return {"<not started>"};
    const auto end = std::find_if(lines->begin(), lines->end(), [](const std::string& line) {
        return line.rfind("stdin=", 0) == 0;
    });
    return Words(lines->begin(), end);
}

// The browser a desktop user chose, found and started by the real registry
// and shell of this system.
TEST(WebStartRealStartTest, StartsTheDesktopsBrowserWithTheAddressAndTheMailLink)
{
    TempFolder folder;
    ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", (folder.Path() / "config").string());
    environment.Set("XDG_CONFIG_DIRS", (folder.Path() / "etc").string());
    environment.Set("XDG_DATA_HOME", (folder.Path() / "data").string());
    environment.Set("XDG_DATA_DIRS", (folder.Path() / "system").string());
    environment.Unset("XDG_CURRENT_DESKTOP");
    folder.CreateFile("config/mimeapps.list", "[Default Applications]\ntext/html=quorvane-test-browser.desktop;\n");
    const auto registerBrowser = [&](const ArgumentRecorder& recorder) {
        folder.CreateFile("data/applications/quorvane-test-browser.desktop",
                          "[Desktop Entry]\nType=Application\nName=Browser\nExec=\"" + recorder.Script().string() +
                              "\" --new-window %u\n");
    };
    ASSERT_EQ(&platform::HostRegistry(), &platform::NativeRegistry());
    ASSERT_EQ(&platform::HostShell(), &platform::NativeShell());

    TWebStart webStart;
    webStart.SetUrl("https://www.quorvane.example.org");
    const ArgumentRecorder forUrl(folder.Path() / "browser one", folder.Path() / "url");
    registerBrowser(forUrl);
    ASSERT_TRUE(webStart.OpenUrl());
    EXPECT_EQ(ArgumentsOf(forUrl), (Words{"--new-window", "https://www.quorvane.example.org"}));

    webStart.SetEMail("info@quorvane.example.org");
    webStart.SetEMailSubject("Quorvane V1.24");
    const ArgumentRecorder forMail(folder.Path() / "browser two", folder.Path() / "mail");
    registerBrowser(forMail);
    ASSERT_TRUE(webStart.SendEMail());
    EXPECT_EQ(ArgumentsOf(forMail),
              (Words{"--new-window", "mailto:info@quorvane.example.org?subject=Quorvane", "V1.24"}));

    std::filesystem::remove(folder.Path() / "config/mimeapps.list");
    EXPECT_FALSE(webStart.OpenUrl());
}

}  // namespace
}  // namespace quorvane
