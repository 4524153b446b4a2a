#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane::platform {

// Show commands of the started program's first window, with the values
// Windows uses.
enum ShowCommand : int {
    kShowNormal = 1,
    kShowMaximized = 3,
};

// Results of Execute below 33, with the values Windows uses; anything above
// 32 means the program was started.
enum ShellResult : std::intptr_t {
    kShellFileNotFound = 2,
    kShellPathNotFound = 3,
    kShellAccessDenied = 5,
    kShellOutOfMemory = 8,
    kShellBadFormat = 11,
};

// Starts programs the way the desktop's shell does.
class Shell {
public:
    virtual ~Shell() = default;

    // Starts `program` with `parameters`, one text that the program's side
    // splits into arguments by the Windows command-line rules, and asks for
    // its window to be shown as `showCommand` says. Returns a number greater
    // than 32 when the program was started, else an error number
    // (kShellFileNotFound when it cannot be found or started). The call does
    // not wait for the program.
    virtual std::intptr_t Execute(std::string_view program, std::string_view parameters, int showCommand) = 0;
};

// The shell of this system, or the one a test put in its place.
Shell& HostShell();

// The real backend of this operating system.
Shell& NativeShell();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
Shell* ReplaceHostShell(Shell* replacement);

}  // namespace quorvane::platform
