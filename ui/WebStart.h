#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

// How the started browser's window is shown.
enum TBrowserState : std::uint8_t {
    gwMaximized = 0,
    gwNormal = 1,
};

// The argument part of the command that SplitBrowserCommand split last,
// shared by every launcher. OpenUrl and SendEMail read it right after their
// own split, all on the user-interface thread.
extern std::string BrowserArguments;

// The command the system has registered to open web pages, tried for ".HTM",
// ".HTML", ".SHTML" and ".SHTM" in this order; empty when there is none.
// Values longer than 1,024 characters are cut to that length. Every registry
// key it opens is closed before it returns.
std::string FindBrowserCommand();

// The shell's show command for a browser state.
int BrowserStateToShowCommand(TBrowserState state);

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

    // The program path of the registered command, or empty when there is
    // none; its arguments, cleaned of quotes and placeholders, go into
    // BrowserArguments (which keeps its text when there is no command).
    std::string SplitBrowserCommand();

    // Starts the browser with Url; true when it was started.
    bool OpenUrl();

    // Starts the browser with a mailto: link to EMail with EMailSubject;
    // true when it was started.
    bool SendEMail();

private:
    bool StartBrowser(std::string_view target);

    std::string m_url;
    std::string m_eMail;
    std::string m_eMailSubject;
    TBrowserState m_browserState = gwMaximized;
};

}  // namespace quorvane
