#include "platform/posix/PosixShell.h"

#include "platform/Shell.h"
#include "platform/posix/DriveNameSpace.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#if defined(__linux__)
#include <linux/close_range.h>
#endif
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvane::platform::posix {

std::vector<std::string> SplitCommandLine(std::string_view parameters)
{
    std::vector<std::string> words;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t i = 0;
    while (true) {
        while (i < parameters.size() && isBlank(parameters[i])) ++i;
        if (i == parameters.size()) break;
        std::string word;
        bool quoted = false;
        while (i < parameters.size() && (quoted || !isBlank(parameters[i]))) {
            std::size_t backslashes = 0;
            while (i < parameters.size() && parameters[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < parameters.size() && parameters[i] == '"') {
                word.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    word += '"';
                } else if (quoted && i + 1 < parameters.size() && parameters[i + 1] == '"') {
                    word += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                word.append(backslashes, '\\');
                if (backslashes == 0) word += parameters[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

namespace {

// Any value above 32 tells the caller that the program runs.
constexpr std::intptr_t kShellStarted = 42;

std::intptr_t ToShellResult(int error)
{
    switch (error) {
    case ENOTDIR:
        return kShellPathNotFound;
    case EACCES:
    case EPERM:
        return kShellAccessDenied;
    case ENOMEM:
    case EAGAIN:
        return kShellOutOfMemory;
    case ENOEXEC:
        return kShellBadFormat;
    default:
        return kShellFileNotFound;
    }
}

bool IsExecutableFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> FindProgram(std::string_view program)
{
    if (program.empty()) return std::nullopt;
    if (program.front() == '/') return std::string(program);
    if (program.find('/') != std::string_view::npos) return std::nullopt;
    std::string searchPath;
    if (const char* path = std::getenv("PATH"); path != nullptr) {
        searchPath = path;
    } else {
        searchPath = "/usr/local/bin:/usr/bin:/bin";
    }
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string::npos) end = searchPath.size();
        if (end > start && searchPath[start] == '/') {
            std::string candidate = searchPath.substr(start, end - start);
            if (candidate.back() != '/') candidate += '/';
            candidate.append(program);
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

namespace {

[[noreturn]] void ReportAndExit(int reportFd, int error)
{
    // Nothing more can be done when even the report fails; the parent then
    // sees an empty pipe from an exited child and counts that as started.
    [[maybe_unused]] ssize_t written = ::write(reportFd, &error, sizeof error);
    ::_exit(127);
}

// The started program inherits neither the open files of this process nor
// its signal handling, just as if the desktop had started it.
void PrepareProgramProcess(int highestFd)
{
#if defined(CLOSE_RANGE_CLOEXEC)
    if (::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC) == 0) highestFd = 2;
#endif
    for (int fd = 3; fd <= highestFd; ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0 && (flags & FD_CLOEXEC) == 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP) ::sigaction(signal, &byDefault, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// The folder a started program works in: the user's home folder, as when
// the desktop starts it. The folder the user browsed to is the program's
// own business, and a browser working there would keep a stick from being
// ejected for as long as it runs.
std::string StartFolder()
{
    for (const TDriveRoot& drive : Drives()) {
        if (drive.Letter == 'C') return drive.UnixRoot;
    }
    return "/";
}

// Only async-signal-safe calls happen between fork and exec: the parent may
// have other threads. The intermediate child starts a new session and forks
// the program, then ends at once; waiting for it here leaves no zombie, and
// the program itself is adopted by the system and reaped there. A failing
// exec reports its errno through a pipe that closes by itself on success.
std::intptr_t StartDetached(const std::string& path, std::vector<char*>& argv, const std::string& folder)
{
    long openMax = ::sysconf(_SC_OPEN_MAX);
    const int highestFd = static_cast<int>(openMax > 0 && openMax < 65536 ? openMax - 1 : 65535);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return ToShellResult(errno);

    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);

    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        if (::setsid() < 0) ReportAndExit(report[1], errno);
        const pid_t program = ::fork();
        if (program < 0) ReportAndExit(report[1], errno);
        if (program > 0) ::_exit(0);
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull < 0) ReportAndExit(report[1], errno);
        for (int fd = 0; fd <= 2; ++fd) {
            if (::dup2(devNull, fd) < 0) ReportAndExit(report[1], errno);
        }
        if (devNull > 2) ::close(devNull);
        PrepareProgramProcess(highestFd);
        if (::chdir(folder.c_str()) != 0 && ::chdir("/") != 0) ReportAndExit(report[1], errno);
        ::execv(path.c_str(), argv.data());
        ReportAndExit(report[1], errno);
    }
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        return ToShellResult(forkError);
    }

    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof error)) return ToShellResult(error);
    return kShellStarted;
}

class PosixShell final : public Shell {
public:
    std::intptr_t Execute(WindowHandle /*owner*/, std::string_view program, std::string_view parameters,
                          int /*showCommand*/) override
    {
        // There is no window placement to ask for on a posix desktop, and
        // nothing is asked while starting; the program's window manager
        // decides where its window goes.
        const std::optional<std::string> path = FindProgram(program);
        if (!path) return kShellFileNotFound;
        std::vector<std::string> words = SplitCommandLine(parameters);
        words.insert(words.begin(), std::string(program));
        std::vector<char*> argv;
        argv.reserve(words.size() + 1);
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        return StartDetached(*path, argv, StartFolder());
    }
};

}  // namespace

}  // namespace quorvane::platform::posix

namespace quorvane::platform {

Shell& NativeShell()
{
    static posix::PosixShell shell;
    return shell;
}

}  // namespace quorvane::platform
