#include "ui/WebStart.h"

#include "platform/Registry.h"
#include "platform/Shell.h"
#include "tests/support/ArgumentRecorder.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace quorvane {
namespace {

namespace fs = std::filesystem;

using testing::ArgumentRecorder;
using testing::ScopedCurrentFolder;
using testing::ScopedEnvironment;
using testing::TempFolder;
using Words = std::vector<std::string>;

constexpr const char* kUrl = "https://www.quorvane.example.org";

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

std::string Replaced(std::string text, std::string_view from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

class WebStartRealStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(&platform::HostRegistry(), &platform::NativeRegistry());
        ASSERT_EQ(&platform::HostShell(), &platform::NativeShell());
        m_environment.Set("XDG_CONFIG_HOME", Path("config"));
        m_environment.Set("XDG_CONFIG_DIRS", Path("etc"));
        m_environment.Set("XDG_DATA_HOME", Path("data"));
        m_environment.Set("XDG_DATA_DIRS", Path("system"));
        m_environment.Unset("XDG_CURRENT_DESKTOP");
        m_folder.CreateFile("config/mimeapps.list",
                            "[Default Applications]\ntext/html=quorvane-test-browser.desktop;\n");
    }

    std::string Path(std::string_view relative) const { return (m_folder.Path() / relative).string(); }

    void RegisterBrowser(const std::string& keys)
    {
        m_folder.CreateFile("data/applications/quorvane-test-browser.desktop",
                            "[Desktop Entry]\nType=Application\nName=Browser\n" + keys + "\n");
    }

    TempFolder m_folder;
    ScopedEnvironment m_environment;
};

// What the browser registered through a desktop entry receives, started for
// real through the system's registry and shell. "{dir}" in an entry is the
// test's folder, "{browser}" the recorder that case creates at `script`.
TEST_F(WebStartRealStartTest, StartsExactlyTheRegisteredProgramWithItsArgumentsAndTheAddress)
{
    // Programs that the reading of a command as a Windows command line or
    // relative to the current folder would start, and that must never run.
    const fs::path music = m_folder.CreateFolder("music");
    std::vector<ArgumentRecorder> planted;
    for (const char* program : {"music/quorvane-test-browser", "music/quorvane-test-browser --start=https:/x.com",
                                "music/bin/browser", "tools.exe"}) {
        fs::create_directories((m_folder.Path() / program).parent_path());
        const std::string output = "planted " + std::to_string(planted.size());
        planted.emplace_back(m_folder.Path() / program, m_folder.Path() / output);
    }
    // The recorders' own tools, so that PATH holds nothing of this machine
    // (no terminal emulator that happens to be installed).
    m_folder.CreateFolder("tools");
    for (const char* tool : {"readlink", "cat", "mv"}) {
        fs::create_symlink(fs::path("/bin") / tool, m_folder.Path() / "tools" / tool);
    }
    m_folder.CreateFolder("path");
    m_environment.Set("PATH", ":bin:" + Path("path") + ":" + Path("tools"));
    const ScopedCurrentFolder inMusic(music);

    struct TCase {
        const char* script;
        const char* keys;
        std::optional<Words> arguments;  // nothing: no program may start
    };
    const TCase cases[] = {
        {"plain/browser", "Exec={browser} %u", Words{kUrl}},
        {"Mein Browser/browser", R"(Exec="{browser}" --profile "/tmp/my profile" %u)",
         Words{"--profile", "/tmp/my profile", kUrl}},
        // String escapes (\s, \\) come first, then the quoting of the line.
        {"escapes/browser", R"(Exec="{browser}" "a \"b\" \\\\c \$d \`e\`" x\sy 100%%)",
         Words{R"(a "b" \c $d `e`)", "x", "y", "100%", kUrl}},
        {"codes/browser", "Exec={browser} --url=%f %F %i %c %k %d %D %n %N %v %m %U",
         Words{"--url=" + std::string(kUrl), kUrl, kUrl}},
        {"tools.exe.d/browser", "Exec={browser} %u", Words{kUrl}},
        {"path/quorvane-test-browser", "Exec=quorvane-test-browser --start=https://x.com %u",
         Words{"--start=https://x.com", kUrl}},
        {"unused/browser", "Exec=bin/browser %u", std::nullopt},
        {"unused/browser", "Exec=browser %u", std::nullopt},
        {"tryexec/browser", "TryExec={dir}/missing\nExec={browser} %u", std::nullopt},
        {"tryexec/browser", "TryExec={browser}\nExec={browser} %u", Words{kUrl}},
        {"unused/browser", "Terminal=true\nExec=quorvane-text-browser %u", std::nullopt},
        {"path/x-terminal-emulator", "Terminal=true\nExec=quorvane-text-browser --dump %u",
         Words{"-e", "quorvane-text-browser", "--dump", kUrl}},
    };
    TWebStart webStart;
    webStart.SetUrl(kUrl);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const TCase& test = cases[i];
        const fs::path script = m_folder.Path() / test.script;
        fs::create_directories(script.parent_path());
        const ArgumentRecorder recorder(script, m_folder.Path() / ("case " + std::to_string(i)));
        const std::string keys = Replaced(Replaced(test.keys, "{browser}", script.string()), "{dir}", Path(""));
        SCOPED_TRACE(keys);
        RegisterBrowser(keys);
        if (!test.arguments) {
            EXPECT_FALSE(webStart.OpenUrl());
            continue;
        }
        ASSERT_TRUE(webStart.OpenUrl());
        EXPECT_EQ(ArgumentsOf(recorder), *test.arguments);
    }

    // The mail link arrives as one address.
    webStart.SetEMail("info@quorvane.example.org");
    webStart.SetEMailSubject("Quorvane V1.24");
    const ArgumentRecorder forMail(m_folder.CreateFolder("mail") / "browser", m_folder.Path() / "mail link");
    RegisterBrowser("Exec=\"" + forMail.Script().string() + "\" --new-window %u");
    ASSERT_TRUE(webStart.SendEMail());
    EXPECT_EQ(ArgumentsOf(forMail),
              (Words{"--new-window", "mailto:info@quorvane.example.org?subject=Quorvane%20V1.24"}));

    for (std::size_t i = 0; i < planted.size(); ++i) {
        EXPECT_FALSE(fs::exists(m_folder.Path() / ("planted " + std::to_string(i)))) << planted[i].Script();
    }
    fs::remove(m_folder.Path() / "config/mimeapps.list");
    EXPECT_FALSE(webStart.OpenUrl());
}

}  // namespace
}  // namespace quorvane
