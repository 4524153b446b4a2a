#include "platform/Shell.h"

#include "platform/win32/Win32Api.h"

#include <shellapi.h>

#include <string>

namespace quorvane::platform {
namespace {

class TWin32Shell final : public Shell {
public:
    // No operation: the shell's default verb starts the program. A prompt of
    // the shell stays in front of the owner, the window the user clicked in.
    std::intptr_t Execute(WindowHandle owner, std::string_view program, std::string_view parameters,
                          int showCommand) override
    {
        const HINSTANCE result = ::ShellExecuteA(reinterpret_cast<HWND>(owner), nullptr, std::string(program).c_str(),
                                                 std::string(parameters).c_str(), nullptr, showCommand);
        return reinterpret_cast<std::intptr_t>(result);
    }
};

}  // namespace

Shell& NativeShell()
{
    static TWin32Shell shell;
    return shell;
}

}  // namespace quorvane::platform
