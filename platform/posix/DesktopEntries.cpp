#include "platform/posix/DesktopEntries.h"

#include "platform/posix/RegularFile.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

namespace quorvane::platform::posix {

namespace {

// The largest association file read. The system's mimeinfo.cache is the
// largest of them and holds some hundred kilobytes where thousands of
// programs are installed.
constexpr std::size_t kLargestKeyFile = 16u << 20;

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

class TSystemEntryFolders final : public TEntryFolders {
public:
    std::optional<Folder> FindFolder(const std::string& path) override
    {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return std::nullopt;
        std::string real(resolved);
        std::free(resolved);
        struct stat status {};
        if (::stat(real.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
        return Folder{{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)},
                      real == "/" ? std::string() : std::move(real)};
    }

    std::vector<std::string> Names(const std::string& path) override
    {
        std::vector<std::string> names;
        DIR* folder = ::opendir(path.c_str());
        if (folder == nullptr) return names;
        while (const dirent* entry = ::readdir(folder)) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") names.emplace_back(name);
        }
        ::closedir(folder);
        return names;
    }

    bool IsFile(const std::string& path) override
    {
        struct stat status {};
        return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    }
};

}  // namespace

TKeyFile::TKeyFile(std::string_view text)
{
    std::map<std::string, std::string, std::less<>>* group = nullptr;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            group = &m_groups[std::string(line.substr(1, line.size() - 2))];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (group == nullptr || equals == std::string_view::npos) continue;
        group->emplace(std::string(Trimmed(line.substr(0, equals))), std::string(Trimmed(line.substr(equals + 1))));
    }
}

TKeyFile TKeyFile::Read(const std::string& path)
{
    std::string content;
    struct stat status {};
    if (ReadRegularFile(path, kLargestKeyFile, content, status) != FileRead::kRead) return TKeyFile();
    return TKeyFile(content);
}

const std::string* TKeyFile::Value(std::string_view group, std::string_view key) const
{
    const auto g = m_groups.find(group);
    if (g == m_groups.end()) return nullptr;
    const auto k = g->second.find(key);
    return k == g->second.end() ? nullptr : &k->second;
}

std::vector<std::string> TKeyFile::List(std::string_view group, std::string_view key) const
{
    const std::string* value = Value(group, key);
    return value ? SplitList(*value, ';') : std::vector<std::string>{};
}

std::vector<std::string> SplitList(std::string_view text, char separator)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view item = Trimmed(text.substr(start, end - start));
        if (!item.empty()) items.emplace_back(item);
        start = end + 1;
    }
    return items;
}

std::string Unescaped(std::string_view value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': text += ' '; break;
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'r': text += '\r'; break;
        case '\\': text += '\\'; break;
        default:
            text += '\\';
            text += value[i];
        }
    }
    return text;
}

TEntryFolders& SystemEntryFolders()
{
    static TSystemEntryFolders s_folders;
    return s_folders;
}

std::optional<std::string> FindEntryFile(const std::string& folder, std::string_view id, TEntryFolders& folders)
{
    std::optional<TEntryFolders::Folder> top = folders.FindFolder(folder);
    if (!top) return std::nullopt;

    // A depth-first walk kept on a list of its own rather than on the call
    // stack, since an id of thousands of dashes may lead as many levels deep.
    // A folder met again at the same place in the id (through a link, or
    // under another reading of the dashes) cannot hold what it did not hold
    // the first time.
    struct TStep {
        TEntryFolders::Folder Folder;
        std::size_t Position;
    };
    std::vector<TStep> pending{{std::move(*top), 0}};
    std::set<std::pair<TEntryFolders::FolderKey, std::size_t>> visited;
    std::map<TEntryFolders::FolderKey, std::vector<std::string>> listings;
    while (!pending.empty()) {
        const TStep step = std::move(pending.back());
        pending.pop_back();
        if (!visited.emplace(step.Folder.Key, step.Position).second) continue;

        const std::string_view rest = id.substr(step.Position);
        const std::string file = step.Folder.Path + "/" + std::string(rest);
        if (folders.IsFile(file)) return file;
        if (rest.find('-') == std::string_view::npos) continue;

        auto listing = listings.find(step.Folder.Key);
        if (listing == listings.end()) listing = listings.emplace(step.Folder.Key, folders.Names(step.Folder.Path)).first;
        // The subfolders whose names end where a dash of the rest stands;
        // the longest is pushed first, so that the shortest is walked first.
        std::vector<std::string_view> fitting;
        for (const std::string& name : listing->second) {
            // An id ending in a dash names no file in the folder before it.
            if (name.empty() || name == "." || name == ".." || name.size() + 1 >= rest.size()) continue;
            if (rest[name.size()] == '-' && rest.starts_with(name)) fitting.push_back(name);
        }
        std::sort(fitting.begin(), fitting.end(),
                  [](std::string_view a, std::string_view b) { return a.size() > b.size(); });
        for (const std::string_view name : fitting) {
            if (std::optional<TEntryFolders::Folder> sub = folders.FindFolder(step.Folder.Path + "/" + std::string(name))) {
                pending.push_back(TStep{std::move(*sub), step.Position + name.size() + 1});
            }
        }
    }
    return std::nullopt;
}

}  // namespace quorvane::platform::posix
