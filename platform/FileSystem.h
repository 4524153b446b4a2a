#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::platform {

// File attribute bits with the values the Windows file system uses, so that
// both backends and every caller speak the same language.
enum FileAttribute : std::uint32_t {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeId = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
};

// Every attribute an enumeration can report.
constexpr std::uint32_t kAllAttributes = faReadOnly | faHidden | faSysFile | faVolumeId | faDirectory | faArchive;

// Error codes of the Windows file system; the posix backend maps errno onto
// these so that messages read the same on every system.
enum ErrorCode : std::uint32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorTooManyOpenFiles = 4,
    kErrorAccessDenied = 5,
    kErrorInvalidDrive = 15,
    kErrorNotSameDevice = 17,
    kErrorWriteProtect = 19,
    kErrorNotReady = 21,
    kErrorGenFailure = 31,
    kErrorSharingViolation = 32,
    kErrorFileExists = 80,
    kErrorInvalidParameter = 87,
    kErrorDiskFull = 112,
    kErrorInvalidName = 123,
    kErrorAlreadyExists = 183,
    kErrorFilenameTooLong = 206,
    kErrorDirectory = 267,
    kErrorCantResolveFilename = 1921,
};

struct FindEntry {
    std::string Name;            // the long name, without folder
    std::uint32_t Attributes = 0;
};

// Which file a name leads to. Two names of one file (hard links, or two
// spellings of one name on a file system that ignores case) give the same
// Volume and File; Links counts the names the file has.
struct FileIdentity {
    std::uint64_t Volume = 0;
    std::uint64_t File = 0;
    std::uint32_t Links = 0;
};

// How a folder's file system tells two names apart.
enum class NameCase : unsigned char {
    // Byte by byte: "a.mp3" and "A.mp3" are two files (the Linux file systems).
    Exact,
    // Ignoring the case of the letters A to Z only (FAT through FUSE, which
    // takes no other letters at all).
    IgnoreAscii,
    // Ignoring the case of every letter (exFAT, NTFS and FAT under Windows,
    // shares of Windows servers, case-folded ext4 folders).
    IgnoreLetters,
};

// The rules a folder's file system applies to the names of its entries,
// for a preview that must say where a rename would be refused.
struct FolderNameRules {
    // The longest new name, in bytes, that a rename in this folder accepts;
    // it allows for the longest full path the system takes.
    std::size_t MaxNameLength = 255;
    // Characters that no name may hold (besides the zero byte).
    std::string_view ForbiddenCharacters = "\\/";
    // Whether a name that starts with "." hides its file, as on Linux.
    bool DotNamesHide = false;
    // Whether entries of the folder can be renamed at all (false on a
    // read-only volume or without write permission for the folder).
    bool Writable = true;
    // Which spellings of a name the folder takes for one name.
    NameCase Case = NameCase::Exact;
    // Whether the file system takes only names of ASCII characters.
    bool AsciiOnly = false;
    // Whether a name ending in a dot or a blank is refused: Windows cannot
    // open such a file, and some of its file systems cut the end off.
    bool RefusesTrailingDotOrBlank = false;
};

// The characters the Windows file systems refuse in a name: the nine
// punctuation characters and the control characters.
extern const std::string_view kWindowsForbiddenCharacters;

// What the system says about single entries of one folder, beyond the
// folder's rules, for a preview that must know which files the system keeps
// from being renamed.
class FolderEntries {
public:
    virtual ~FolderEntries() = default;

    // Whether the system lets this program rename the entry `name` of the
    // folder as far as the entry itself decides: false for an immutable or
    // append-only file and for another user's file in a folder that lets
    // only the owners remove their files (the sticky bit).
    virtual bool MayRename(std::string_view name) = 0;
};

// An open enumeration; closing happens when it is destroyed.
class FindHandle {
public:
    virtual ~FindHandle() = default;

    // Gives the next entry; false at the end or on a failure to deliver one.
    virtual bool Next(FindEntry& entry) = 0;
};

// A folder named once, for many renames by name inside it. A batch run
// renames thousands of files in one folder; naming the folder once spares
// the system from finding it again for every one of them.
class FolderHandle {
public:
    virtual ~FolderHandle() = default;

    // Renames the entry `oldName` of the folder to `newName` in the same
    // folder, with the outcome and the error codes of FileSystem::MoveFile
    // for the two full names.
    virtual std::uint32_t MoveFile(std::string_view oldName, std::string_view newName) = 0;
};

// ---- Finding a folder and its files again, for taking renames back ----

// What tells one file or folder apart from every other that its file system
// holds or held before, as far as that file system lets a program tell.
// Volume and number alone do not: ext4 gives the number of a deleted file to
// the next new one at once. The birth time settles it where the file system
// keeps one; where it keeps none (FAT through FUSE, most network shares),
// the time of the last change of the entry's state and its size stand in,
// which the system sets itself and no program can set back.
struct EntryStamp {
    enum class Kind : unsigned char { None, File, Folder, Other };

    Kind Type = Kind::None;  // None: no entry was found
    std::uint64_t Volume = 0;
    std::uint64_t File = 0;
    bool HasBirth = false;
    std::int64_t Birth = 0;    // nanoseconds since 1970
    std::int64_t Changed = 0;  // nanoseconds since 1970
    std::uint64_t Size = 0;
};

// Whether `now` is the very entry that `recorded` was taken of. In doubt the
// answer is no: a rename refused is a nuisance, a wrong file renamed is not.
bool SameEntry(const EntryStamp& recorded, const EntryStamp& now);

// A folder opened for renames that must reach exactly the files they mean,
// as the undo of a run must. It is open only while it is used, so a stick
// can still be ejected between a run and its undo.
class IdentifiedFolder {
public:
    virtual ~IdentifiedFolder() = default;

    // Where the folder is, in a form that only this file system reads back
    // (FileSystem::ReopenIdentifiedFolder), whatever its length.
    virtual const std::string& Location() const = 0;
    // The folder's own stamp, taken when it was opened.
    virtual const EntryStamp& Stamp() const = 0;

    // The stamp of the entry `name` of the folder itself (a symbolic link is
    // not followed); a stamp of Kind::None when there is none.
    virtual EntryStamp StampOf(std::string_view name) = 0;

    // Renames the entry `name` to `newName` in this folder, never replacing
    // an entry, and only when `name` is still the entry of `expected`
    // (kErrorFileNotFound otherwise). 0 or an error code.
    virtual std::uint32_t MoveFileIfSame(std::string_view name, std::string_view newName,
                                         const EntryStamp& expected) = 0;
};

// The file-system service in the drive-letter name space (C:\Musik\Live).
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens an enumeration of `pattern` (folder, backslash, mask with "*" and
    // "?"); "." and ".." come as folders. nullptr when nothing can be listed.
    virtual std::unique_ptr<FindHandle> FindFirst(std::string_view pattern) = 0;

    // The same for a caller that looks only at the attributes in `needed`;
    // the entries may lack the others. Some attributes cost a system call
    // per entry on some systems (read-only on Linux), which a run over
    // 100,000 files should not pay for when it never looks at them.
    virtual std::unique_ptr<FindHandle> FindFirstReporting(std::string_view pattern, std::uint32_t needed)
    {
        static_cast<void>(needed);
        return FindFirst(pattern);
    }

    // Renames within the name space; never replaces an existing file. 0 on
    // success, else an error code.
    virtual std::uint32_t MoveFile(std::string_view oldPath, std::string_view newPath) = 0;

    // The folder `folderPath` (a backslash is added when it does not end in
    // one) for renames by name. Never nullptr: a folder that cannot be opened
    // gives renames that fail as MoveFile fails for the full names. This one
    // joins the names to the path and calls MoveFile.
    virtual std::unique_ptr<FolderHandle> OpenFolder(std::string_view folderPath);

    // The current folder in the system's own form: "C:\" for a root,
    // "C:\Daten\Musik" otherwise.
    virtual std::string GetCurrentDirectory() = 0;

    // Changes the current folder: a full path, a path relative to the current
    // folder, or "D:" for drive D's own current folder. 0 or an error code.
    virtual std::uint32_t SetCurrentDirectory(std::string_view path) = 0;

    // Attributes of the entry at `path`; false when there is none.
    virtual bool GetFileAttributes(std::string_view path, std::uint32_t& attributes) = 0;

    // The name in the drive-letter space of a path written as this system
    // writes absolute paths, for a settings file edited by hand: on Linux
    // "/home/anna/Musik" is "C:\Musik". Any other text comes back as it is;
    // nothing for a path of the system that has no name in the space.
    virtual std::optional<std::string> FromSystemPath(std::string_view path) { return std::string(path); }

    // The identity of the entry at `path` itself (a symbolic link is not
    // followed); false when there is none.
    virtual bool GetFileIdentity(std::string_view path, FileIdentity& identity) = 0;

    // The name rules of the folder at `folder` (a full path).
    virtual FolderNameRules GetFolderNameRules(std::string_view folder) = 0;

    // The key of `name` under the comparison `nameCase`: two names are one
    // name to such a folder exactly when their keys are equal. This one
    // folds the letters A to Z only; a system that knows the case of its
    // other letters folds those too.
    virtual void NameKey(std::string_view name, NameCase nameCase, std::string& key) const;

    // The entries of the folder at `folder`, for asking about single ones;
    // nullptr where the system keeps no entry of that folder from being
    // renamed that the folder's rules let through (this one: always).
    virtual std::unique_ptr<FolderEntries> OpenFolderEntries(std::string_view folder)
    {
        static_cast<void>(folder);
        return nullptr;
    }

    // True when `path` names an existing file; a folder is not a file.
    bool FileExists(std::string_view path);

    // The stamp of the entry at `path` itself (a symbolic link is not
    // followed); Kind::None when there is none. This one knows volume and
    // number only (GetFileIdentity).
    virtual EntryStamp GetEntryStamp(std::string_view path);
    // The folder `folderPath` (a full path) for renames that must reach
    // exactly the files they mean; nullptr when it cannot be opened.
    virtual std::unique_ptr<IdentifiedFolder> OpenIdentifiedFolder(std::string_view folderPath);
    // The folder at `location` (IdentifiedFolder::Location) once more;
    // nullptr when it cannot be reached without following a symbolic link
    // that was not there when it was first opened. Whether it is still the
    // same folder its stamp says.
    virtual std::unique_ptr<IdentifiedFolder> ReopenIdentifiedFolder(std::string_view location);
};

// The file-system service of this system, or the one a test put in its place.
FileSystem& HostFileSystem();

// The real backend of this operating system.
FileSystem& NativeFileSystem();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
FileSystem* ReplaceHostFileSystem(FileSystem* replacement);

}  // namespace quorvane::platform
