// Measures how long the real program takes from its process start until its
// main window is mapped on the screen, on a virtual X server: the time a user
// waits after starting Quorvane. Each start runs in a fresh temporary folder
// with its own home, so no settings file is read.
//
//   bench_StartupBench [path of the quorvane executable]
//
// Without an argument the executable is looked for where the build puts it,
// in the build folder above this program (build/app/quorvane). Needs Xvfb and
// xwininfo (x11-utils).

#include "tests/support/XWindowProbe.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStarts = 10;
constexpr const char* kTitle = "Quorvane V1.24";

pid_t Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
            posix_spawn_file_actions_t* actions = nullptr)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& variable : environment) envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
}

void Stop(pid_t pid)
{
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

}  // namespace

int main(int argc, char** argv)
{
    std::filesystem::path program;
    if (argc > 1) {
        program = argv[1];
    } else {
        program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "../app/quorvane";
    }
    if (!std::filesystem::exists(program)) {
        std::printf("StartupBench: no executable at %s; build the target quorvane first\n", program.c_str());
        return 0;
    }

    std::vector<std::string> inherited;
    for (char** variable = environ; *variable != nullptr; ++variable) inherited.emplace_back(*variable);

    int pipe[2];
    if (::pipe(pipe) != 0) return 1;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addclose(&actions, pipe[0]);
    // -noreset: by default the server resets whenever its last client leaves
    // (between two starts, or after a poll while the program is still
    // loading), and a program that connects during the reset is refused or
    // cut off. That, not the program, made starts show no window.
    const pid_t server = Spawn({"Xvfb", "-displayfd", std::to_string(pipe[1]), "-noreset", "-screen", "0",
                                "1280x1024x24", "-nolisten", "tcp"},
                               inherited, &actions);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    std::string number;
    char digit = 0;
    while (server > 0 && ::read(pipe[0], &digit, 1) == 1 && digit != '\n') number += digit;
    ::close(pipe[0]);
    if (number.empty()) {
        std::printf("StartupBench: Xvfb could not be started, nothing measured\n");
        Stop(server);
        return 0;
    }
    const std::string display = ":" + number;

    std::vector<double> times;
    for (int start = 0; start < kStarts; ++start) {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("quorvane-startup-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        const std::filesystem::path copy = folder / "quorvane";
        std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
        std::vector<std::string> environment;
        for (const std::string& variable : inherited) {
            if (variable.starts_with("QT_QPA_PLATFORM=") || variable.starts_with("DISPLAY=") ||
                variable.starts_with("HOME=") || variable.starts_with("WAYLAND_DISPLAY=")) {
                continue;
            }
            environment.push_back(variable);
        }
        environment.push_back("DISPLAY=" + display);
        environment.push_back("HOME=" + folder.string());

        const Clock::time_point begin = Clock::now();
        const pid_t quorvane = Spawn({copy.string()}, environment);
        bool shown = false;
        int status = 0;
        bool ended = false;
        while (quorvane > 0 && !shown && !ended && Clock::now() - begin < std::chrono::seconds(30)) {
            shown = quorvane::testing::MainWindowShown(display, kTitle);
            ended = !shown && ::waitpid(quorvane, &status, WNOHANG) == quorvane;
        }
        const double elapsed = Milliseconds(Clock::now() - begin);
        if (!ended) Stop(quorvane);
        std::filesystem::remove_all(folder);
        if (ended) {
            std::printf("StartupBench: start %d ended before showing a window (%s %d)\n", start + 1,
                        WIFSIGNALED(status) ? "signal" : "exit status",
                        WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
            continue;
        }
        if (!shown) {
            std::printf("StartupBench: start %d showed no window within 30 s\n", start + 1);
            continue;
        }
        times.push_back(elapsed);
    }
    Stop(server);
    if (times.empty()) return 0;

    std::sort(times.begin(), times.end());
    std::printf("StartupBench: process start to main window shown, %zu starts under Xvfb\n", times.size());
    std::printf("  min %.1f ms, median %.1f ms, max %.1f ms (target: under 300 ms)\n", times.front(),
                times[times.size() / 2], times.back());
    std::printf("  the figures include up to one xwininfo round trip of polling (a few ms)\n");
    return 0;
}
