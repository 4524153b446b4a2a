#pragma once

#include <cstdint>
#include <span>
#include <string>
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

// A window as the desktop's windowing system names it (a window handle on
// Windows); 0 for none. The layers with windows hand theirs on as a number,
// so that this layer needs no window classes of its own.
using WindowHandle = std::uintptr_t;

// Starts programs the way the desktop's shell does.
class Shell {
public:
    virtual ~Shell() = default;

    // Starts `program` with `parameters`, one text that the program's side
    // splits into arguments by the Windows command-line rules, and asks for
    // its window to be shown as `showCommand` says. Returns a number greater
    // than 32 when the program was started, else an error number
    // (kShellFileNotFound when it cannot be found or started). The call does
    // not wait for the program. `owner` is the window in front of which the
    // shell shows whatever it has to ask or report while starting.
    virtual std::intptr_t Execute(WindowHandle owner, std::string_view program, std::string_view parameters,
                                  int showCommand) = 0;
};

// The parameter text that Execute's program splits into exactly `arguments`
// by the Windows command-line rules: each argument that is empty or holds a
// blank or a double quote is quoted, with the backslashes and quotes inside
// it escaped so that they arrive as they are.
std::string QuotedCommandLine(std::span<const std::string> arguments);

// The shell of this system, or the one a test put in its place.
Shell& HostShell();

// The real backend of this operating system.
Shell& NativeShell();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
Shell* ReplaceHostShell(Shell* replacement);

}  // namespace quorvane::platform
