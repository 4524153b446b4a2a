#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::testing {

// An in-memory folder tree in the program's drive-letter name space
// ("C:\Musik\Live\a.mp3"), for tests that must not touch the disk.
//
// - Drives exist once something is added on them (or AddDrive); drive letters
//   are taken in either case. Every drive starts with its root as its current
//   folder, and C: is the current drive.
// - Paths resolve as on Windows: "\" and "/" separate components, "X:" alone
//   is drive X's current folder, names without a drive or a leading "\" are
//   relative to the current folder, "." and ".." are resolved by text.
// - Names are exact bytes, as on a Linux file system: "a.mp3" and "A.mp3" are
//   two files. Masks match ignoring the case of ASCII letters; "*" matches any
//   run of characters, "?" exactly one character (a whole UTF-8 sequence) and
//   "*.*" every name.
// - An enumeration delivers "." and ".." (as folders, when the mask matches
//   them) outside the drive roots, then the entries in the order in which they
//   were added. A file renamed while an enumeration is open goes to the end of
//   the order and is delivered again under its new name, as many real file
//   systems do; SetRenamedEntriesReappear(false) keeps its place instead.
// - Failures come back as the Windows codes: 2 no such file, 3 no such
//   folder, 15 unknown drive, 21 drive not ready, 183 the new name exists,
//   267 a file where a folder is needed. FindFirst gives nullptr when the
//   folder does not exist or nothing matches.
// - Every entry has an identity of its own, kept across renames, with one
//   link. Every folder has the name rules given by SetFolderNameRules (by
//   default those of a Linux folder: names up to 255 bytes, "." hides); a
//   rename to a longer name fails with 206, one in a folder that is not
//   writable with 5, one to a name with a forbidden character, a character
//   beyond ASCII where only ASCII is taken, or a trailing dot or blank where
//   those are refused with 123.
// - Under a rule that ignores case, a folder finds each entry under every
//   spelling of its name, as FAT and NTFS do: a name whose key (NameKey:
//   the letters A to Z and, for NameCase::IgnoreLetters, the Latin-1 letters
//   "à" to "þ" in UTF-8) equals an entry's is that entry, adding it again
//   keeps the entry's spelling, and a rename to another spelling of the
//   file's own name changes the spelling.
// - LockFile makes a file one the system keeps from being renamed (5), as
//   an immutable file or another user's file in a sticky folder; only then
//   does OpenFolderEntries hand out entries to ask, which count the
//   questions.
//
// The fake must outlive every enumeration it handed out.
class FakeFileSystem final : public platform::FileSystem {
public:
    FakeFileSystem();
    ~FakeFileSystem() override;

    // Adds an entry, with the folders above it; an existing entry keeps its
    // place in the order and takes the new attributes.
    void AddFile(std::string_view path, std::uint32_t attributes = platform::faArchive);
    void AddFolder(std::string_view path, std::uint32_t attributes = platform::faDirectory);
    void AddDrive(char letter);
    void SetDriveReady(char letter, bool ready);
    void SetRenamedEntriesReappear(bool reappear) { m_renamedEntriesReappear = reappear; }
    void SetFolderNameRules(const platform::FolderNameRules& rules) { m_nameRules = rules; }
    void LockFile(std::string_view path);
    std::size_t EntryQuestions() const { return m_entryQuestions; }

    // Scripted failures of MoveFile: every rename to `newPath` fails, or the
    // call with the given number (counting from 1) fails, with `error`.
    void FailMoveFileTo(std::string_view newPath, std::uint32_t error);
    void FailMoveFileCall(std::size_t callNumber, std::uint32_t error);

    // Every enumeration opened from now on stops delivering after `entries`
    // entries ("." and ".." included), as when the folder's medium goes away
    // in the middle of a listing.
    void FailEnumerationAfter(std::size_t entries) { m_enumerationLimit = entries; }

    bool Exists(std::string_view path) const;
    // The names in a folder, in enumeration order (without "." and "..").
    std::vector<std::string> Names(std::string_view folder) const;

    std::size_t FindFirstCalls() const { return m_patterns.size(); }
    const std::vector<std::string>& Patterns() const { return m_patterns; }
    std::size_t MoveFileCalls() const { return m_moves.size(); }
    const std::vector<std::pair<std::string, std::string>>& Moves() const { return m_moves; }
    std::size_t OpenEnumerations() const { return m_openEnumerations; }

    std::unique_ptr<platform::FindHandle> FindFirst(std::string_view pattern) override;
    std::uint32_t MoveFile(std::string_view oldPath, std::string_view newPath) override;
    std::string GetCurrentDirectory() override;
    std::uint32_t SetCurrentDirectory(std::string_view path) override;
    bool GetFileAttributes(std::string_view path, std::uint32_t& attributes) override;
    bool GetFileIdentity(std::string_view path, platform::FileIdentity& identity) override;
    platform::FolderNameRules GetFolderNameRules(std::string_view folder) override;
    void NameKey(std::string_view name, platform::NameCase nameCase, std::string& key) const override;
    std::unique_ptr<platform::FolderEntries> OpenFolderEntries(std::string_view folder) override;

private:
    class Enumeration;
    class Entries;

    struct Entry {
        std::uint32_t Attributes = 0;
        std::uint64_t Sequence = 0;
        std::uint64_t Identity = 0;
    };
    struct Folder {
        std::map<std::string, Entry> Entries;          // by name
        std::map<std::uint64_t, std::string> Order;  // by sequence: the enumeration order
    };
    struct Drive {
        bool Ready = true;
        std::string CurrentFolder;  // a full path, "C:\" or "C:\Musik"
    };
    struct Resolved {
        std::string Path;  // canonical: "C:\" for a root, "C:\Musik" below it
        std::string Parent;
        std::string Name;  // empty for a root
    };

    std::optional<Resolved> Resolve(std::string_view path, std::uint32_t& error) const;
    Folder* FindFolder(const std::string& path);
    const Folder* FindFolder(const std::string& path) const;
    const Entry* FindEntry(const Resolved& resolved) const;
    // The spelling under which `folder` keeps the entry `name`, or nothing.
    const std::string* StoredName(const Folder& folder, const std::string& name) const;
    bool IsLocked(const Resolved& resolved) const;
    void Insert(const Resolved& resolved, std::uint32_t attributes);
    void MoveSubtree(const std::string& oldPath, const std::string& newPath);

    std::map<char, Drive> m_drives;
    std::map<std::string, Folder> m_folders;  // every folder, roots included, by canonical path
    char m_currentDrive = 'C';
    std::uint64_t m_nextSequence = 1;
    bool m_renamedEntriesReappear = true;
    std::uint64_t m_nextIdentity = 1;
    platform::FolderNameRules m_nameRules{.MaxNameLength = 255, .DotNamesHide = true};

    std::vector<std::string> m_locked;  // canonical paths
    std::size_t m_entryQuestions = 0;
    std::map<std::string, std::uint32_t> m_failingTargets;
    std::map<std::size_t, std::uint32_t> m_failingCalls;
    std::optional<std::size_t> m_enumerationLimit;
    std::vector<std::string> m_patterns;
    std::vector<std::pair<std::string, std::string>> m_moves;
    std::size_t m_openEnumerations = 0;
};

// Whether a mask of "*" and "?" matches a name, ignoring the case of ASCII
// letters, with "*.*" matching every name.
bool FakeMaskMatches(std::string_view mask, std::string_view name);

}  // namespace quorvane::testing
