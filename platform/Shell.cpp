#include "platform/Shell.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<Shell> g_shell;
}

Shell& HostShell() { return g_shell.Get(NativeShell()); }
Shell* ReplaceHostShell(Shell* replacement) { return g_shell.Replace(replacement); }

}  // namespace quorvane::platform
