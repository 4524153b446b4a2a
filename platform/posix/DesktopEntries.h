#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The two text formats the desktop's file associations are kept in, desktop
// entries and mimeapps.list (and mimeinfo.cache, which is written the same
// way), and the rule that finds the file a desktop-entry id stands for. The
// posix registry answers its keys from them.
namespace quorvane::platform::posix {

// The groups and keys of such a file; for a key that appears twice in a
// group the first one counts. Blanks around keys and values do not count.
class TKeyFile {
public:
    TKeyFile() = default;
    explicit TKeyFile(std::string_view text);

    // The file at `path`; empty when it is no regular file, larger than a
    // few megabytes, or cannot be read (a named pipe there never blocks).
    static TKeyFile Read(const std::string& path);

    const std::string* Value(std::string_view group, std::string_view key) const;

    // The value read as a list separated by ";", its items without blanks
    // around them, empty items left out.
    std::vector<std::string> List(std::string_view group, std::string_view key) const;

    const std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>>& Groups() const
    {
        return m_groups;
    }

private:
    std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>> m_groups;
};

// The items of a list separated by `separator`, without blanks around them,
// empty items left out.
std::vector<std::string> SplitList(std::string_view text, char separator);

// A value with the string escapes of desktop entries resolved ("\s", "\n",
// "\t", "\r", "\\"); any other backslash stays, since the Exec line's own
// quoting is left for whoever splits the command.
std::string Unescaped(std::string_view value);

// What the id lookup needs to know of the folders it walks, named by Unix paths.
class TEntryFolders {
public:
    // What tells one folder from another however it is reached.
    struct FolderKey {
        std::uint64_t Device = 0;
        std::uint64_t Node = 0;
        auto operator<=>(const FolderKey&) const = default;
    };

    struct Folder {
        FolderKey Key;
        // The folder's path without links, which what lies below it is named by:
        // a path through many links would soon meet the system's limit of them.
        std::string Path;
    };

    virtual ~TEntryFolders() = default;

    // The folder at `path`, following links; nothing when it is no folder.
    virtual std::optional<Folder> FindFolder(const std::string& path) = 0;
    // The names in the folder at `path`, without "." and "..".
    virtual std::vector<std::string> Names(const std::string& path) = 0;
    // True when `path` is a regular file, following links.
    virtual bool IsFile(const std::string& path) = 0;
};

// The folders of this system.
TEntryFolders& SystemEntryFolders();

// The file the desktop-entry id stands for below `folder`: the file of that
// name, else one in a subfolder, each "-" of the id standing for a folder
// separator where a folder of that name exists ("kde-konqueror.desktop" is
// also kde/konqueror.desktop). Where several files fit, the one with the
// shortest folder name first at each level wins. Each folder is asked about
// each position in the id at most once, so however many folders fit the
// dashes (or links lead in circles), the work grows with the id's length
// and the folders' listings, never with the number of ways to read the
// dashes. It never leads out of the folder by "." or ".."; the path it
// gives names the file through the folders' own paths, without links.
std::optional<std::string> FindEntryFile(const std::string& folder, std::string_view id, TEntryFolders& folders);

}  // namespace quorvane::platform::posix
