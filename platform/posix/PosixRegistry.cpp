#include "platform/Registry.h"

#include "platform/posix/DesktopEntries.h"
#include "platform/posix/PosixShell.h"
#include "runtime/AsciiCase.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// The registry of a posix desktop is its own file associations: the program
// asks which application opens web pages, and the answer comes from the
// mimeapps.list files and desktop entries every desktop reads. Only the keys
// the program asks for exist:
//   ".HTM", ".HTML", ".SHTML", ".SHTM"  default value: the desktop entry that
//                                       opens web pages ("firefox.desktop")
//   "mailto"                            default value: the desktop entry that
//                                       opens mailto: links (the mail program)
//   "<entry>\shell\open\command"       default value: the entry's Exec line,
//                                       its string escapes resolved, its
//                                       quoting and field codes (%u, %U ...)
//                                       left for the reader of the command
// Everything is read anew whenever a key is opened, so a browser chosen in
// the desktop's settings counts at the next click.
namespace quorvane::platform::posix {
namespace {

namespace fs = std::filesystem;

// The types a browser registers for, in the order they are asked: web pages
// first, as on Windows, then the addresses the browser opens, which is all
// that the "default web browser" setting of some desktops writes.
constexpr std::array<std::string_view, 3> kWebTypes = {"text/html", "x-scheme-handler/https",
                                                       "x-scheme-handler/http"};
// The mail program is the one the desktop opens mailto: links with.
constexpr std::array<std::string_view, 1> kMailTypes = {"x-scheme-handler/mailto"};
constexpr std::string_view kMailScheme = "mailto";
constexpr std::string_view kEntryGroup = "Desktop Entry";
constexpr std::string_view kTerminalEmulator = "x-terminal-emulator";
constexpr std::array<std::string_view, 4> kWebPageExtensions = {".htm", ".html", ".shtml", ".shtm"};
constexpr std::array<std::string_view, 3> kCommandPath = {"shell", "open", "command"};

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) return user->pw_dir;
    return {};
}

// The base folders of the XDG rules: a variable that is unset, empty or not
// an absolute path counts as missing and its default is used.
fs::path UserBaseFolder(const char* variable, std::string_view homeDefault)
{
    if (const char* value = std::getenv(variable); value != nullptr && *value == '/') return value;
    return fs::path(HomeFolder()) / homeDefault;
}

std::vector<fs::path> SystemBaseFolders(const char* variable, std::string_view defaults)
{
    const char* value = std::getenv(variable);
    std::vector<fs::path> folders;
    for (const std::string& folder : SplitList(value != nullptr && *value != '\0' ? value : defaults, ':')) {
        if (folder.front() == '/') folders.emplace_back(folder);
    }
    if (folders.empty() && value != nullptr) {
        for (const std::string& folder : SplitList(defaults, ':')) folders.emplace_back(folder);
    }
    return folders;
}

std::vector<fs::path> ApplicationFolders()
{
    std::vector<fs::path> folders{UserBaseFolder("XDG_DATA_HOME", ".local/share") / "applications"};
    for (const fs::path& base : SystemBaseFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        folders.push_back(base / "applications");
    }
    return folders;
}

// Every mimeapps.list in the order of preference: the user's configuration,
// the system's configuration, then the user's and the system's application
// folders; in each folder the lists of the running desktop come first.
std::vector<fs::path> MimeAppsLists()
{
    std::vector<fs::path> folders{UserBaseFolder("XDG_CONFIG_HOME", ".config")};
    for (const fs::path& base : SystemBaseFolders("XDG_CONFIG_DIRS", "/etc/xdg")) folders.push_back(base);
    for (const fs::path& folder : ApplicationFolders()) folders.push_back(folder);

    std::vector<std::string> desktops;
    if (const char* current = std::getenv("XDG_CURRENT_DESKTOP"); current != nullptr) {
        for (std::string desktop : SplitList(current, ':')) {
            MakeAsciiLower(desktop);
            desktops.push_back(std::move(desktop));
        }
    }
    std::vector<fs::path> lists;
    for (const fs::path& folder : folders) {
        for (const std::string& desktop : desktops) lists.push_back(folder / (desktop + "-mimeapps.list"));
        lists.push_back(folder / "mimeapps.list");
    }
    return lists;
}

bool IsEntryId(std::string_view id)
{
    constexpr std::string_view kSuffix = ".desktop";
    return id.size() > kSuffix.size() && id.substr(id.size() - kSuffix.size()) == kSuffix &&
           id.find('/') == std::string_view::npos && id.find('\0') == std::string_view::npos;
}

// A path as one argument of an Exec line: in double quotes, with the
// characters that are special inside them escaped.
std::string QuotedExecArgument(std::string_view path)
{
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// The command that starts an entry. An entry that runs in a terminal (a text
// browser) gets the user's terminal emulator in front of it, which runs the
// command after "-e" with its arguments as they are; without one it would
// run unseen with no terminal at all, so it cannot be started.
std::optional<std::string> StartCommand(const TKeyFile& entry)
{
    const std::string* hidden = entry.Value(kEntryGroup, "Hidden");
    const std::string* exec = entry.Value(kEntryGroup, "Exec");
    if ((hidden && *hidden == "true") || exec == nullptr || exec->empty()) return std::nullopt;
    // TryExec names the file whose presence says that the program is installed.
    if (const std::string* tryExec = entry.Value(kEntryGroup, "TryExec"); tryExec && !tryExec->empty()) {
        const std::optional<std::string> program = FindProgram(Unescaped(*tryExec));
        struct stat status {};
        if (!program || ::stat(program->c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            ::access(program->c_str(), X_OK) != 0) {
            return std::nullopt;
        }
    }
    std::string command = Unescaped(*exec);
    if (const std::string* terminal = entry.Value(kEntryGroup, "Terminal"); terminal && *terminal == "true") {
        const std::optional<std::string> emulator = FindProgram(kTerminalEmulator);
        if (!emulator) return std::nullopt;
        command = QuotedExecArgument(*emulator) + " -e " + command;
    }
    return command;
}

// The command of an installed entry that can be started. The first file
// found for an id hides those of the folders after it, also when it is
// marked Hidden (the user's way of removing a system entry). An entry that
// cannot be started (no Exec, its TryExec program missing, a terminal
// program with no terminal emulator) counts as not installed, so that the
// next association is tried.
std::optional<std::string> EntryCommand(std::string_view id)
{
    if (!IsEntryId(id)) return std::nullopt;
    for (const fs::path& folder : ApplicationFolders()) {
        const std::optional<std::string> file = FindEntryFile(folder.string(), id, SystemEntryFolders());
        if (!file) continue;
        return StartCommand(TKeyFile::Read(*file));
    }
    return std::nullopt;
}

// The entry that opens `types` (web pages, mail links): the first default
// that can be started, taken from the lists in their order of preference
// and, within one list, for the types in their order; when no list names
// one, the first added association that no list of the same or a preferred
// folder removed, then the system's cache of the types entries declare, as
// other desktop programs do when the user never chose a program. So a browser the user chose for
// addresses only wins over one that merely declares web pages.
std::optional<std::string> AssociatedEntry(std::span<const std::string_view> types)
{
    const std::vector<fs::path> lists = MimeAppsLists();
    std::vector<TKeyFile> files;
    files.reserve(lists.size());
    for (const fs::path& list : lists) files.push_back(TKeyFile::Read(list.string()));

    for (const TKeyFile& file : files) {
        for (std::string_view type : types) {
            for (const std::string& id : file.List("Default Applications", type)) {
                if (EntryCommand(id)) return id;
            }
        }
    }
    std::map<std::string_view, std::set<std::string>> removed;
    for (const TKeyFile& file : files) {
        for (std::string_view type : types) {
            for (const std::string& id : file.List("Removed Associations", type)) removed[type].insert(id);
            for (const std::string& id : file.List("Added Associations", type)) {
                if (removed[type].count(id) == 0 && EntryCommand(id)) return id;
            }
        }
    }
    for (const fs::path& folder : ApplicationFolders()) {
        const TKeyFile cache = TKeyFile::Read((folder / "mimeinfo.cache").string());
        for (std::string_view type : types) {
            for (const std::string& id : cache.List("MIME Cache", type)) {
                if (removed[type].count(id) == 0 && EntryCommand(id)) return id;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> WebPageEntry() { return AssociatedEntry(kWebTypes); }

// The mail program is looked up by the same rules, for its one type.
std::optional<std::string> MailEntry() { return AssociatedEntry(kMailTypes); }

struct TKeyContent {
    std::optional<std::string> defaultValue;
};

// What a key path holds; nothing when there is no such key.
std::optional<TKeyContent> Lookup(const std::vector<std::string>& path)
{
    if (path.empty()) return TKeyContent{};
    for (std::string_view extension : kWebPageExtensions) {
        if (!SameIgnoringAsciiCase(path.front(), extension)) continue;
        if (path.size() > 1) return std::nullopt;
        std::optional<std::string> entry = WebPageEntry();
        if (!entry) return std::nullopt;
        return TKeyContent{std::move(entry)};
    }
    if (SameIgnoringAsciiCase(path.front(), kMailScheme)) {
        if (path.size() > 1) return std::nullopt;
        std::optional<std::string> entry = MailEntry();
        if (!entry) return std::nullopt;
        return TKeyContent{std::move(entry)};
    }
    if (path.size() > 1 + kCommandPath.size()) return std::nullopt;
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (!SameIgnoringAsciiCase(path[i], kCommandPath[i - 1])) return std::nullopt;
    }
    std::optional<std::string> command = EntryCommand(path.front());
    if (!command) return std::nullopt;
    if (path.size() < 1 + kCommandPath.size()) return TKeyContent{};
    return TKeyContent{std::move(command)};
}

class PosixRegistry final : public Registry {
public:
    std::int32_t OpenKey(RegistryKey parent, std::string_view subKey, RegistryKey& key) override
    {
        try {
            std::vector<std::string> path;
            {
                std::lock_guard lock(m_mutex);
                if (parent != kClassesRoot) {
                    const auto open = m_openKeys.find(parent);
                    if (open == m_openKeys.end()) return kRegistryInvalidHandle;
                    path = open->second.path;
                }
            }
            if (!subKey.empty()) {
                std::size_t start = 0;
                while (true) {
                    const std::size_t end = std::min(subKey.find('\\', start), subKey.size());
                    if (end == start) return kRegistryKeyNotFound;
                    path.emplace_back(subKey.substr(start, end - start));
                    if (end == subKey.size()) break;
                    start = end + 1;
                }
            }
            std::optional<TKeyContent> content = Lookup(path);
            if (!content) return kRegistryKeyNotFound;
            std::lock_guard lock(m_mutex);
            key = m_nextKey;
            m_nextKey += 4;
            m_openKeys.emplace(key, TOpenKey{std::move(path), std::move(content->defaultValue)});
            return kRegistrySuccess;
        } catch (const std::bad_alloc&) {
            return kRegistryNotEnoughMemory;
        }
    }

    std::int32_t QueryDefaultValueSize(RegistryKey key, std::uint32_t& size) override
    {
        return QueryDefaultValue(key, nullptr, size);
    }

    std::int32_t QueryDefaultValue(RegistryKey key, char* buffer, std::uint32_t& size) override
    {
        std::lock_guard lock(m_mutex);
        if (key == kClassesRoot) return kRegistryKeyNotFound;
        const auto open = m_openKeys.find(key);
        if (open == m_openKeys.end()) return kRegistryInvalidHandle;
        const std::optional<std::string>& value = open->second.defaultValue;
        if (!value || value->size() >= std::numeric_limits<std::uint32_t>::max()) return kRegistryKeyNotFound;
        const auto needed = static_cast<std::uint32_t>(value->size() + 1);
        if (buffer == nullptr) {
            size = needed;
            return kRegistrySuccess;
        }
        if (size < needed) {
            size = needed;
            return kRegistryMoreData;
        }
        std::memcpy(buffer, value->c_str(), needed);
        size = needed;
        return kRegistrySuccess;
    }

    std::int32_t CloseKey(RegistryKey key) override
    {
        std::lock_guard lock(m_mutex);
        if (key == kClassesRoot) return kRegistrySuccess;
        return m_openKeys.erase(key) == 1 ? kRegistrySuccess : kRegistryInvalidHandle;
    }

    CommandFormat Commands() const override { return CommandFormat::kDesktopEntryExec; }

private:
    struct TOpenKey {
        std::vector<std::string> path;
        std::optional<std::string> defaultValue;
    };

    std::mutex m_mutex;
    std::map<RegistryKey, TOpenKey> m_openKeys;
    RegistryKey m_nextKey = 0x1000;
};

}  // namespace
}  // namespace quorvane::platform::posix

namespace quorvane::platform {

Registry& NativeRegistry()
{
    static posix::PosixRegistry registry;
    return registry;
}

}  // namespace quorvane::platform
