#pragma once

#include "platform/Shell.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// How the started browser's window is shown.
enum TBrowserState : std::uint8_t {
    gwMaximized = 0,
    gwNormal = 1,
};

// The argument part of the command that SplitBrowserCommand split last,
// shared by every launcher. OpenUrl and SendEMail read it right after their
// own split of a Windows command line, all on the user-interface thread; a
// desktop entry's Exec line is read whole and leaves it alone.
extern std::string BrowserArguments;

// The command the system has registered to open web pages, tried for ".HTM",
// ".HTML", ".SHTML" and ".SHTM" in this order; empty when there is none.
// Values longer than 1,024 characters are cut to that length; a desktop
// entry's Exec line is read whole, or not at all when it holds a NUL or is
// longer than a megabyte, so that no cut can leave the name of another
// program behind. Every registry key it opens is closed before it returns.
std::string FindBrowserCommand();

// The command of the mail program the desktop opens mailto: links with, as
// an Exec line; empty where it names none. Only a desktop's associations
// know one: the launcher asks for it only there.
std::string FindMailCommand();

// The shell's show command for a browser state.
int BrowserStateToShowCommand(TBrowserState state);

// The arguments a desktop entry's Exec line starts, the program first, with
// `address` in the place of its field code (%u, %U, %f or %F) or, where it
// has none, appended. The line is read by the quoting rules of desktop
// entries: double quotes group blanks, and inside them a backslash escapes
// '"', '`', '$' and '\'; "%%" is a percent sign, other field codes are
// dropped, and field codes inside quotes are plain text. Nothing when the
// line is empty, a quote is left open, or the program is neither an
// absolute path nor a plain name to be looked up in PATH.
std::optional<std::vector<std::string>> SplitDesktopEntryCommand(std::string_view command, std::string_view address);

// Opens a web address or a new mail message in the user's web browser: the
// program registered for web pages, started with its registered arguments and
// the address. It never raises and never shows anything; the caller turns a
// false result into its own warning.
class TWebStart {
public:
    const std::string& Url() const { return m_url; }
    void SetUrl(std::string url) { m_url = std::move(url); }

    const std::string& EMail() const { return m_eMail; }
    void SetEMail(std::string eMail) { m_eMail = std::move(eMail); }

    const std::string& EMailSubject() const { return m_eMailSubject; }
    void SetEMailSubject(std::string subject) { m_eMailSubject = std::move(subject); }

    TBrowserState BrowserState() const { return m_browserState; }
    void SetBrowserState(TBrowserState state) { m_browserState = state; }

    // The window the shell shows its questions in front of while it starts
    // the browser; the caller sets its own. 0, none, at first.
    platform::WindowHandle OwnerWindow() const { return m_ownerWindow; }
    void SetOwnerWindow(platform::WindowHandle window) { m_ownerWindow = window; }

    // The program path of the registered command, or empty when there is
    // none; its arguments, cleaned of quotes and placeholders, go into
    // BrowserArguments (which keeps its text when there is no command).
    std::string SplitBrowserCommand();

    // Starts the browser with Url; true when it was started. Characters
    // that an address cannot hold (blanks, quotes, letters beyond ASCII ...)
    // reach the browser percent-encoded, so the address stays one argument.
    bool OpenUrl();

    // Starts the mail program the desktop associates with mailto: links,
    // else the browser, with a mailto: link to EMail with EMailSubject,
    // both percent-encoded as the parts of such a link; true when one was
    // started.
    bool SendEMail();

private:
    bool StartBrowser(const std::string& address);
    bool StartMailProgram(const std::string& link);

    std::string m_url;
    std::string m_eMail;
    std::string m_eMailSubject;
    TBrowserState m_browserState = gwMaximized;
    platform::WindowHandle m_ownerWindow = 0;
};

}  // namespace quorvane
