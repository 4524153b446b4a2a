#include "tests/support/TempFolder.h"
#include "tests/support/XWindowProbe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

std::optional<std::filesystem::path> FindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::filesystem::path candidate = std::filesystem::path(folders.substr(start, end - start)) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

// A child process, ended and reaped when the object goes.
class TChild {
public:
    TChild(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
           posix_spawn_file_actions_t* actions = nullptr)
    {
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const std::string& variable : environment) envp.push_back(const_cast<char*>(variable.c_str()));
        envp.push_back(nullptr);
        if (::posix_spawn(&m_pid, argv[0], actions, nullptr, argv.data(), envp.data()) != 0) m_pid = -1;
    }
    ~TChild()
    {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    bool Started() const { return m_pid > 0; }
    bool Running() const
    {
        int status = 0;
        return m_pid > 0 && ::waitpid(m_pid, &status, WNOHANG) == 0;
    }

private:
    pid_t m_pid = -1;
};

std::vector<std::string> Environment()
{
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) variables.emplace_back(*variable);
    return variables;
}

// The real program on a virtual X server, installed in a temporary folder
// with a home folder of its own, so that it neither reads nor writes the
// settings of this machine.
TEST(StartupTest, TheProgramShowsItsMainWindowTitledWithTheProductName)
{
    const auto xvfb = FindProgram("Xvfb");
    if (!xvfb) GTEST_SKIP() << "Xvfb is not installed, so the real program cannot be started here";
    if (!FindProgram("xwininfo")) GTEST_SKIP() << "xwininfo (x11-utils) is not installed to look for the window";

    // Xvfb picks a free display itself and writes its number once it accepts clients.
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addclose(&actions, pipe[0]);
    // Without -noreset the server resets whenever its last client leaves
    // (a poll before the program has connected) and drops the program.
    TChild server({xvfb->string(), "-displayfd", std::to_string(pipe[1]), "-noreset", "-screen", "0",
                   "1280x1024x24", "-nolisten", "tcp"},
                  Environment(), &actions);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    ASSERT_TRUE(server.Started());
    std::string number;
    char digit = 0;
    while (::read(pipe[0], &digit, 1) == 1 && digit != '\n') number += digit;
    ::close(pipe[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb gave no display";
    const std::string display = ":" + number;

    quorvane::testing::TempFolder folder;
    const auto program = folder.Path() / "quorvane";
    std::filesystem::copy_file(QUORVANE_EXECUTABLE, program);
    std::vector<std::string> environment;
    for (const std::string& variable : Environment()) {
        if (variable.starts_with("QT_QPA_PLATFORM=") || variable.starts_with("DISPLAY=") ||
            variable.starts_with("HOME=") || variable.starts_with("WAYLAND_DISPLAY=")) {
            continue;
        }
        environment.push_back(variable);
    }
    environment.push_back("DISPLAY=" + display);
    environment.push_back("HOME=" + folder.Path().string());

    TChild quorvane({program.string()}, environment);
    ASSERT_TRUE(quorvane.Started());
    // The program is another process: its window is looked for until it
    // shows, for as long as a slow, shared machine may need.
    bool shown = false;
    for (auto deadline = std::chrono::steady_clock::now() + 30s;
         !shown && quorvane.Running() && std::chrono::steady_clock::now() < deadline;) {
        shown = quorvane::testing::MainWindowShown(display, "Quorvane V1.24");
        if (!shown) std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(shown) << "no window titled \"Quorvane V1.24\" appeared on " << display;
    EXPECT_TRUE(quorvane.Running());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "quorvane.ini")) << "the settings are written only at close";
}

}  // namespace
