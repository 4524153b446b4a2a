#include "platform/FileSystem.h"

#include "platform/Volumes.h"
#include "platform/posix/DriveNameSpace.h"
#include "platform/posix/PosixErrors.h"
#include "platform/posix/PosixRename.h"
#include "platform/posix/WildcardMask.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::platform::posix {

int RenameWithoutReplacingByLink(const char* from, const char* to)
{
    if (::linkat(AT_FDCWD, from, AT_FDCWD, to, 0) == 0) {
        if (::unlink(from) == 0) return 0;
        const int error = errno;
        ::unlink(to);
        return error;
    }
    const int linkError = errno;
    if (linkError == EEXIST || linkError == ENOENT || linkError == ENOTDIR) return linkError;
    // Folders cannot be linked, and some file systems have no links at all:
    // look first. Another program could create `to` in between, which no
    // rename of these file systems can rule out.
    struct stat info {};
    if (::lstat(to, &info) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return ::rename(from, to) == 0 ? 0 : errno;
}

int RenameWithoutReplacing(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    const int error = errno;
    // File systems that do not know the flag (some network and FUSE ones)
    // refuse it this way; any other error is the rename's own.
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) return RenameWithoutReplacingByLink(from, to);
    return error;
}

int RenameThroughTemporaryName(const char* from, const char* to)
{
    static std::atomic<unsigned> counter{0};
    const char* slash = std::strrchr(from, '/');
    const std::string folder
        = slash == nullptr ? std::string(".") : std::string(from, slash == from ? 1 : slash - from);
    std::string temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary = folder + (folder == "/" ? "" : "/") + ".quorvane-rename-" + std::to_string(::getpid()) + "-" +
            std::to_string(counter++);
        error = RenameWithoutReplacing(from, temporary.c_str());
    }
    if (error != 0) return error;
    error = RenameWithoutReplacing(temporary.c_str(), to);
    if (error != 0) RenameWithoutReplacing(temporary.c_str(), from);
    return error;
}

namespace {

bool SameEntry(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
        first.st_ino == second.st_ino;
}

bool Exists(const std::string& unixPath)
{
    struct stat info {};
    return ::lstat(unixPath.c_str(), &info) == 0;
}

bool IsDotEntry(const char* name) { return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')); }

// The attributes of one entry. Read-only asks the system (write permission
// for this user, which also covers read-only file systems); the rest comes
// from the name and the entry's type, with a look at the target only for
// symbolic links and file systems that do not report types.
std::uint32_t EntryAttributes(int folder, const char* name, unsigned char type, std::uint32_t needed)
{
    std::uint32_t attributes = 0;
    bool isFolder = type == DT_DIR;
    if ((type == DT_LNK || type == DT_UNKNOWN) && (needed & (faDirectory | faArchive)) != 0) {
        struct stat info {};
        isFolder = (::fstatat(folder, name, &info, 0) == 0 || ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0)
            && S_ISDIR(info.st_mode);
    }
    attributes |= isFolder ? faDirectory : faArchive;
    if (name[0] == '.' && !IsDotEntry(name)) attributes |= faHidden;
    if ((needed & faReadOnly) != 0 && ::faccessat(folder, name, W_OK, 0) != 0 && (errno == EACCES || errno == EROFS)) {
        attributes |= faReadOnly;
    }
    return attributes & needed;
}

class TPosixFindHandle final : public FindHandle {
public:
    TPosixFindHandle(DIR* folder, std::string_view mask, std::uint32_t needed)
        : m_folder(folder), m_mask(mask), m_needed(needed)
    {
    }
    ~TPosixFindHandle() override { ::closedir(m_folder); }

    TPosixFindHandle(const TPosixFindHandle&) = delete;
    TPosixFindHandle& operator=(const TPosixFindHandle&) = delete;

    bool Next(FindEntry& entry) override
    {
        while (const dirent* found = ::readdir(m_folder)) {
            const char* name = found->d_name;
            const std::size_t length = std::strlen(name);
            // Such a name cannot be written in the drive-letter space, so it
            // could be neither opened nor renamed there.
            if (std::memchr(name, '\\', length) != nullptr) continue;
            if (!m_mask.Matches(std::string_view(name, length))) continue;
            entry.Name.assign(name, length);
            entry.Attributes = EntryAttributes(::dirfd(m_folder), name, found->d_type, m_needed);
            return true;
        }
        return false;
    }

private:
    DIR* m_folder;
    TWildcardMask m_mask;
    std::uint32_t m_needed;
};

class TPosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<FindHandle> FindFirst(std::string_view pattern) override
    {
        return FindFirstReporting(pattern, kAllAttributes);
    }

    std::unique_ptr<FindHandle> FindFirstReporting(std::string_view pattern, std::uint32_t needed) override
    {
        std::string_view folder;
        std::string_view mask;
        const std::size_t separator = pattern.find_last_of("\\/");
        if (separator != std::string_view::npos) {
            folder = pattern.substr(0, separator + 1);
            mask = pattern.substr(separator + 1);
        } else if (pattern.size() >= 2 && pattern[1] == ':') {
            folder = pattern.substr(0, 2);
            mask = pattern.substr(2);
        } else {
            folder = ".";
            mask = pattern;
        }
        if (mask.empty()) return nullptr;
        std::uint32_t error = 0;
        const std::optional<std::string> unixFolder = ToUnixPath(folder, error);
        if (!unixFolder) return nullptr;
        DIR* opened = ::opendir(unixFolder->c_str());
        if (opened == nullptr) return nullptr;
        return std::make_unique<TPosixFindHandle>(opened, mask, needed);
    }

    std::uint32_t MoveFile(std::string_view oldPath, std::string_view newPath) override
    {
        std::uint32_t error = 0;
        const std::optional<TResolvedName> from = ResolveName(oldPath, error);
        if (!from) return error;
        const std::optional<TResolvedName> to = ResolveName(newPath, error);
        if (!to) return error;
        if (from->UnixPath == to->UnixPath) {
            return Exists(from->UnixPath) ? kErrorSuccess : MissingPathError(from->UnixPath, from->UnixRoot);
        }
        int result = RenameWithoutReplacing(from->UnixPath.c_str(), to->UnixPath.c_str());
        // A case-insensitive file system finds the new name of a change of
        // case as the file itself and calls it taken.
        if (result == EEXIST && SameEntry(from->UnixPath, to->UnixPath)) {
            result = RenameThroughTemporaryName(from->UnixPath.c_str(), to->UnixPath.c_str());
        }
        if (result == ENOENT) {
            return Exists(from->UnixPath) ? MissingPathError(to->UnixPath, to->UnixRoot)
                                          : MissingPathError(from->UnixPath, from->UnixRoot);
        }
        return ErrorFromErrno(result);
    }

    std::string GetCurrentDirectory() override { return CurrentFolder(); }

    std::uint32_t SetCurrentDirectory(std::string_view path) override
    {
        std::uint32_t error = 0;
        const std::optional<TResolvedName> folder = ResolveName(path, error);
        if (!folder) return error;
        if (::chdir(folder->UnixPath.c_str()) != 0) {
            const int failure = errno;
            struct stat info {};
            switch (failure) {
            case ENOENT:
                return MissingPathError(folder->UnixPath, folder->UnixRoot);
            case ENOTDIR:
                return ::stat(folder->UnixPath.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) ? kErrorDirectory
                                                                                              : kErrorPathNotFound;
            default:
                return ErrorFromErrno(failure);
            }
        }
        RecordCurrentFolder(*folder);
        return kErrorSuccess;
    }

    // Mounted volumes get their letters when the volume service first looks
    // at them; it looks now, so that a path on a stick is named under the
    // stick's letter rather than under Z:.
    std::optional<std::string> FromSystemPath(std::string_view path) override
    {
        if (path.empty() || path[0] != '/') return std::string(path);
        HostVolumes().LogicalDrives();
        return FromUnixPath(path);
    }

    bool GetFileAttributes(std::string_view path, std::uint32_t& attributes) override
    {
        std::uint32_t error = 0;
        const std::optional<TResolvedName> entry = ResolveName(path, error);
        if (!entry) return false;
        struct stat info {};
        const char* unixPath = entry->UnixPath.c_str();
        if (::stat(unixPath, &info) != 0 && ::lstat(unixPath, &info) != 0) return false;
        attributes = S_ISDIR(info.st_mode) ? faDirectory : faArchive;
        const std::size_t lastSeparator = entry->Name.find_last_of('\\');
        if (lastSeparator + 1 < entry->Name.size() && entry->Name[lastSeparator + 1] == '.') attributes |= faHidden;
        if (::access(unixPath, W_OK) != 0 && (errno == EACCES || errno == EROFS)) attributes |= faReadOnly;
        return true;
    }

    bool GetFileIdentity(std::string_view path, FileIdentity& identity) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixPath = ToUnixPath(path, error);
        struct stat info {};
        if (!unixPath || ::lstat(unixPath->c_str(), &info) != 0) return false;
        identity.Volume = static_cast<std::uint64_t>(info.st_dev);
        identity.File = static_cast<std::uint64_t>(info.st_ino);
        identity.Links = static_cast<std::uint32_t>(info.st_nlink);
        return true;
    }

    FolderNameRules GetFolderNameRules(std::string_view folder) override
    {
        FolderNameRules rules;
        rules.DotNamesHide = true;
        std::uint32_t error = 0;
        const std::optional<std::string> unixFolder = ToUnixPath(folder, error);
        if (!unixFolder) return rules;
        const long nameMax = ::pathconf(unixFolder->c_str(), _PC_NAME_MAX);
        if (nameMax > 0) rules.MaxNameLength = static_cast<std::size_t>(nameMax);
        // Renames go to the system by full path, which with its closing zero
        // byte must fit into PATH_MAX.
        const std::size_t pathRoom = unixFolder->size() + 2 < PATH_MAX ? PATH_MAX - unixFolder->size() - 2 : 0;
        rules.MaxNameLength = std::min(rules.MaxNameLength, pathRoom);
        rules.Writable = ::access(unixFolder->c_str(), W_OK | X_OK) == 0 || (errno != EACCES && errno != EROFS);
        return rules;
    }
};

}  // namespace

}  // namespace quorvane::platform::posix

namespace quorvane::platform {

FileSystem& NativeFileSystem()
{
    static posix::TPosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace quorvane::platform
