#include "ui/WebStart.h"

#include "platform/Registry.h"
#include "platform/Shell.h"
#include "runtime/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

namespace quorvane {

std::string BrowserArguments;

namespace {

using platform::Registry;
using platform::RegistryKey;

constexpr std::array<std::string_view, 4> kWebPageExtensions = {".HTM", ".HTML", ".SHTML", ".SHTM"};
constexpr std::array<std::string_view, 3> kProgramExtensions = {".EXE", ".BAT", ".COM"};
constexpr std::string_view kOpenCommand = "shell\\open\\command";
// The key of mail links, whose default value names the program that opens them.
constexpr std::string_view kMailScheme = "mailto";

// One NUL-terminated value of 1,024 characters at most.
constexpr std::uint32_t kValueBufferSize = 1025;
// A longer value is read whole only to be cut short; one beyond this size is
// no command anybody registered, and it is not read at all.
constexpr std::uint32_t kLongestValueRead = 1u << 20;

// A key opened for reading and closed again however the lookup leaves its
// scope, so that no path of the lookup leaves a key open.
class TOpenedKey {
public:
    TOpenedKey(Registry& registry, RegistryKey parent, std::string_view name) : m_registry(registry)
    {
        m_open = registry.OpenKey(parent, name, m_key) == platform::kRegistrySuccess;
    }
    ~TOpenedKey()
    {
        if (m_open) m_registry.CloseKey(m_key);
    }
    TOpenedKey(const TOpenedKey&) = delete;
    TOpenedKey& operator=(const TOpenedKey&) = delete;

    bool IsOpen() const { return m_open; }
    RegistryKey Key() const { return m_key; }

private:
    Registry& m_registry;
    RegistryKey m_key = 0;
    bool m_open = false;
};

// A desktop entry's value is a line of a text file, which has no length
// limit: it is read whole, or refused when it is longer than any command
// anybody registers, holds a NUL, or changed between the two calls, so that
// no part of it can name another program than the whole line does.
std::optional<std::string> ReadWholeValue(Registry& registry, RegistryKey key, std::uint32_t size)
{
    if (size == 0 || size > kLongestValueRead) return std::nullopt;
    std::vector<char> whole(size, '\0');
    if (registry.QueryDefaultValue(key, whole.data(), size) != platform::kRegistrySuccess || size != whole.size()) {
        return std::nullopt;
    }
    const std::string_view value(whole.data(), whole.size() - 1);
    if (whole.back() != '\0' || value.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(value);
}

// The key's default value up to its first NUL and at most 1,024 characters;
// nothing when its size cannot be asked. Whether the read itself succeeded
// does not matter: a failed read leaves the text empty. Desktop entries'
// values are read whole instead.
std::optional<std::string> ReadDefaultValue(Registry& registry, RegistryKey key)
{
    std::uint32_t size = 0;
    if (registry.QueryDefaultValueSize(key, size) != platform::kRegistrySuccess) return std::nullopt;
    if (registry.Commands() == platform::CommandFormat::kDesktopEntryExec) return ReadWholeValue(registry, key, size);

    std::array<char, kValueBufferSize> buffer{};
    size = kValueBufferSize;
    const std::int32_t result = registry.QueryDefaultValue(key, buffer.data(), size);
    if (result == platform::kRegistryMoreData && size > kValueBufferSize && size <= kLongestValueRead) {
        // The buffer's content is undefined after a read that did not fit.
        std::vector<char> whole(size, '\0');
        buffer.fill('\0');
        if (registry.QueryDefaultValue(key, whole.data(), size) == platform::kRegistrySuccess) {
            std::copy_n(whole.begin(), std::min<std::size_t>(whole.size(), kValueBufferSize), buffer.begin());
        }
    } else if (result == platform::kRegistryMoreData) {
        buffer.fill('\0');
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

// The first non-empty command read from `key`, or nothing.
std::optional<std::string> ReadCommand(Registry& registry, RegistryKey parent, std::string_view name)
{
    const TOpenedKey key(registry, parent, name);
    if (!key.IsOpen()) return std::nullopt;
    std::optional<std::string> command = ReadDefaultValue(registry, key.Key());
    if (!command || command->empty()) return std::nullopt;
    return command;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

// The position just behind the rightmost ".EXE", ".BAT" or ".COM" in any
// letter case, counted from 1; 0 when the command holds none of them.
std::size_t ProgramExtensionEnd(std::string_view command)
{
    for (std::size_t end = command.size(); end >= 4; --end) {
        std::string tail(command.substr(end - 4, 4));
        MakeAsciiUpper(tail);
        if (std::find(kProgramExtensions.begin(), kProgramExtensions.end(), tail) != kProgramExtensions.end()) {
            return end;
        }
    }
    return 0;
}

// The fixed arguments of a registered command: without double quotes and
// without the placeholders ("%1", "%L", "%u" ...) the shell would fill in,
// since the address is appended to them instead.
std::string CleanArguments(std::string_view argumentPart)
{
    std::string arguments = Trimmed(argumentPart);
    std::erase(arguments, '"');
    for (std::size_t i = 0; i < arguments.size();) {
        if (arguments[i] != '%') {
            ++i;
            continue;
        }
        const std::size_t space = arguments.find(' ', i);
        arguments.erase(i, space == std::string::npos ? std::string::npos : space - i);
    }
    return Trimmed(arguments);
}

bool IsExecBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

bool IsLetterOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

void AppendPercentEncoded(std::string& text, unsigned char c)
{
    constexpr std::string_view kHex = "0123456789ABCDEF";
    text += '%';
    text += kHex[c >> 4];
    text += kHex[c & 0x0F];
}

// An address with every byte that no address may hold percent-encoded: the
// characters of addresses (letters, digits, "-._~" and the delimiters
// ":/?#[]@!$&'()*+,;=") and percent escapes already in it stay as they are.
std::string EncodedAddress(std::string_view address)
{
    constexpr std::string_view kAddressMarks = "-._~:/?#[]@!$&'()*+,;=";
    std::string encoded;
    for (std::size_t i = 0; i < address.size(); ++i) {
        const char c = address[i];
        const bool escape = c == '%' && i + 2 < address.size() && IsHexDigit(address[i + 1]) &&
                            IsHexDigit(address[i + 2]);
        if (IsLetterOrDigit(c) || kAddressMarks.find(c) != std::string_view::npos || escape) {
            encoded += c;
        } else {
            AppendPercentEncoded(encoded, static_cast<unsigned char>(c));
        }
    }
    return encoded;
}

// Plain text as one part of a mailto: link (the recipient, the subject):
// only the characters such a part may hold stay, so that a "&", "#", "?" or
// "%" in the text cannot start another part of the link.
std::string EncodedMailPart(std::string_view text)
{
    constexpr std::string_view kMailMarks = "-._~!$'()*+,;:@";
    std::string encoded;
    for (const char c : text) {
        if (IsLetterOrDigit(c) || kMailMarks.find(c) != std::string_view::npos) {
            encoded += c;
        } else {
            AppendPercentEncoded(encoded, static_cast<unsigned char>(c));
        }
    }
    return encoded;
}

}  // namespace

std::optional<std::vector<std::string>> SplitDesktopEntryCommand(std::string_view command, std::string_view address)
{
    std::vector<std::string> arguments;
    bool addressPlaced = false;
    std::size_t i = 0;
    while (true) {
        while (i < command.size() && IsExecBlank(command[i])) ++i;
        if (i == command.size()) break;
        std::string word;
        // A word that was only dropped field codes is no argument at all;
        // an empty pair of quotes is an empty one.
        bool isArgument = false;
        while (i < command.size() && !IsExecBlank(command[i])) {
            const char c = command[i++];
            if (c == '"') {
                isArgument = true;
                while (true) {
                    if (i == command.size()) return std::nullopt;
                    const char quoted = command[i++];
                    if (quoted == '"') break;
                    if (quoted == '\\' && i < command.size() &&
                        std::string_view("\"`$\\").find(command[i]) != std::string_view::npos) {
                        word += command[i++];
                    } else {
                        word += quoted;
                    }
                }
            } else if (c == '%' && i < command.size() && (IsLetterOrDigit(command[i]) || command[i] == '%')) {
                const char code = command[i++];
                if (code == '%') {
                    word += '%';
                    isArgument = true;
                } else if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
                    // Never the program: an address is no command.
                    if (arguments.empty()) return std::nullopt;
                    word += address;
                    isArgument = true;
                    addressPlaced = true;
                }
            } else {
                word += c;
                isArgument = true;
            }
        }
        if (isArgument) arguments.push_back(std::move(word));
    }
    if (arguments.empty()) return std::nullopt;
    const std::string& program = arguments.front();
    if (program.empty() || (program.front() != '/' && program.find('/') != std::string::npos)) return std::nullopt;
    if (!addressPlaced) arguments.emplace_back(address);
    return arguments;
}

std::string FindBrowserCommand()
{
    try {
        Registry& registry = platform::HostRegistry();
        for (std::string_view extension : kWebPageExtensions) {
            const TOpenedKey extensionKey(registry, platform::kClassesRoot, extension);
            if (!extensionKey.IsOpen()) continue;
            const std::optional<std::string> typeName = ReadDefaultValue(registry, extensionKey.Key());
            if (!typeName) continue;
            if (!typeName->empty()) {
                const std::string typeCommandKey = *typeName + "\\" + std::string(kOpenCommand);
                if (auto command = ReadCommand(registry, platform::kClassesRoot, typeCommandKey)) return *command;
            }
            if (auto command = ReadCommand(registry, extensionKey.Key(), kOpenCommand)) return *command;
        }
    } catch (...) {
        // Whatever went wrong, there is no command to start; the keys are
        // closed on the way out.
    }
    return {};
}

std::string FindMailCommand()
{
    try {
        Registry& registry = platform::HostRegistry();
        const TOpenedKey schemeKey(registry, platform::kClassesRoot, kMailScheme);
        if (!schemeKey.IsOpen()) return {};
        const std::optional<std::string> entry = ReadDefaultValue(registry, schemeKey.Key());
        if (!entry || entry->empty()) return {};
        return ReadCommand(registry, platform::kClassesRoot, *entry + "\\" + std::string(kOpenCommand)).value_or("");
    } catch (...) {
        return {};
    }
}

int BrowserStateToShowCommand(TBrowserState state)
{
    return state == gwMaximized ? platform::kShowMaximized : platform::kShowNormal;
}

std::string TWebStart::SplitBrowserCommand()
{
    try {
        std::string command = FindBrowserCommand();
        if (command.empty()) return {};
        const std::size_t end = ProgramExtensionEnd(command);
        if (end == 0) {
            // A command that names its program without an extension has it
            // as its first word, quoted when it holds blanks.
            std::string_view text(command);
            while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
            std::size_t wordEnd = 0;
            std::size_t restStart = 0;
            std::size_t wordStart = 0;
            if (!text.empty() && text.front() == '"') {
                wordStart = 1;
                wordEnd = std::min(text.find('"', 1), text.size());
                restStart = std::min(wordEnd + 1, text.size());
            } else {
                wordEnd = std::find_if(text.begin(), text.end(), IsBlank) - text.begin();
                restStart = wordEnd;
            }
            BrowserArguments = CleanArguments(text.substr(restStart));
            return std::string(text.substr(wordStart, wordEnd - wordStart));
        }
        if (end < command.size()) {
            BrowserArguments = CleanArguments(std::string_view(command).substr(end));
            command.resize(end);
        } else {
            BrowserArguments.clear();
        }
        if (command.front() == '"') command.erase(0, 1);
        return command;
    } catch (...) {
        return {};
    }
}

bool TWebStart::OpenUrl()
{
    try {
        return StartBrowser(EncodedAddress(m_url));
    } catch (...) {
        return false;
    }
}

// A desktop names the mail program it opens mailto: links with; the link
// goes there, and to the browser only where there is none or it cannot be
// started. A Windows registry is asked for the browser alone, as ever.
bool TWebStart::SendEMail()
{
    try {
        const std::string link = "mailto:" + EncodedMailPart(m_eMail) + "?subject=" + EncodedMailPart(m_eMailSubject);
        return StartMailProgram(link) || StartBrowser(link);
    } catch (...) {
        return false;
    }
}

bool TWebStart::StartMailProgram(const std::string& link)
{
    if (platform::HostRegistry().Commands() != platform::CommandFormat::kDesktopEntryExec) return false;
    const std::optional<std::vector<std::string>> arguments = SplitDesktopEntryCommand(FindMailCommand(), link);
    if (!arguments) return false;
    const std::string parameters = platform::QuotedCommandLine(std::span(*arguments).subspan(1));
    return platform::HostShell().Execute(m_ownerWindow, arguments->front(), parameters,
                                         BrowserStateToShowCommand(m_browserState)) > 32;
}

// The encoded address holds no blank and no quote, so it reaches the
// browser as one argument, whichever way the command is read. A Windows
// command gets it after its arguments and one space; a desktop entry's Exec
// line gets it in the place of its field code, and leaves BrowserArguments
// alone.
bool TWebStart::StartBrowser(const std::string& address)
{
    const int showCommand = BrowserStateToShowCommand(m_browserState);
    platform::Shell& shell = platform::HostShell();
    if (platform::HostRegistry().Commands() == platform::CommandFormat::kDesktopEntryExec) {
        const std::optional<std::vector<std::string>> arguments =
            SplitDesktopEntryCommand(FindBrowserCommand(), address);
        if (!arguments) return false;
        const std::string parameters = platform::QuotedCommandLine(std::span(*arguments).subspan(1));
        return shell.Execute(m_ownerWindow, arguments->front(), parameters, showCommand) > 32;
    }
    const std::string program = SplitBrowserCommand();
    if (program.empty()) return false;
    return shell.Execute(m_ownerWindow, program, BrowserArguments + " " + address, showCommand) > 32;
}

}  // namespace quorvane
