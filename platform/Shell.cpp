#include "platform/Shell.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<Shell> g_shell;

void AppendQuoted(std::string& line, const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        // Backslashes are literal unless a double quote follows them, and
        // this argument has none.
        line += argument;
        return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // Each backslash before a quote is doubled, and the quote itself
            // gets one of its own.
            line.append(2 * backslashes + 1, '\\');
        } else {
            line.append(backslashes, '\\');
        }
        backslashes = 0;
        line += c;
    }
    // Backslashes before the closing quote must not escape it.
    line.append(2 * backslashes, '\\');
    line += '"';
}
}  // namespace

Shell& HostShell() { return g_shell.Get(NativeShell()); }
Shell* ReplaceHostShell(Shell* replacement) { return g_shell.Replace(replacement); }

std::string QuotedCommandLine(std::span<const std::string> arguments)
{
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        AppendQuoted(line, arguments[i]);
    }
    return line;
}

}  // namespace quorvane::platform
