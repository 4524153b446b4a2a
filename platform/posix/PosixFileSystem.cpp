#include "platform/FileSystem.h"

#include "platform/Volumes.h"
#include "platform/posix/DriveNameSpace.h"
#include "platform/posix/PosixNameRules.h"
#include "platform/posix/PosixErrors.h"
#include "platform/posix/PosixFolderAccess.h"
#include "platform/posix/PosixRename.h"
#include "platform/posix/WildcardMask.h"
#include "runtime/FolderPath.h"

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

int RenameThroughTemporaryName(int folder, const char* from, const char* to)
{
    static std::atomic<unsigned> counter{0};
    const char* slash = std::strrchr(from, '/');
    const std::string parent
        = slash == nullptr ? std::string(".") : std::string(from, slash == from ? 1 : slash - from);
    std::string temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary = parent + (parent == "/" ? "" : "/") + ".quorvane-rename-" + std::to_string(::getpid()) + "-" +
            std::to_string(counter++);
        error = RenameWithoutReplacing(folder, from, temporary.c_str());
    }
    if (error != 0) return error;
    error = RenameWithoutReplacing(folder, temporary.c_str(), to);
    if (error != 0) RenameWithoutReplacing(folder, temporary.c_str(), from);
    return error;
}

int RenameThroughTemporaryName(const char* from, const char* to)
{
    return RenameThroughTemporaryName(AT_FDCWD, from, to);
}

namespace {

bool Exists(const std::string& unixPath)
{
    struct stat info {};
    return ::lstat(unixPath.c_str(), &info) == 0;
}

// What changing into the folder at `unixPath` would fail with (0 where it
// would succeed): the path must lead to a folder that may be searched.
int EnteringError(const std::string& unixPath)
{
    struct stat info {};
    if (::stat(unixPath.c_str(), &info) != 0) return errno;
    if (!S_ISDIR(info.st_mode)) return ENOTDIR;
    return ::faccessat(AT_FDCWD, unixPath.c_str(), X_OK, AT_EACCESS) == 0 ? 0 : errno;
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

// A name as the system calls want it, with its terminating zero; names of
// ordinary length stay on the stack.
class TZeroTerminated {
public:
    explicit TZeroTerminated(std::string_view text)
    {
        if (text.size() < sizeof m_buffer) {
            std::memcpy(m_buffer, text.data(), text.size());
            m_buffer[text.size()] = '\0';
        } else {
            m_long.assign(text);
        }
    }
    TZeroTerminated(const TZeroTerminated&) = delete;
    TZeroTerminated& operator=(const TZeroTerminated&) = delete;

    const char* c_str() const { return m_long.empty() ? m_buffer : m_long.c_str(); }

private:
    char m_buffer[512];
    std::string m_long;
};

// A name that stands for itself inside a folder: no separator, no zero byte,
// not one of the names of the folders themselves.
bool IsPlainName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..") return false;
    // The C library's searches go through a name many bytes at a time; one
    // loop that tests each byte for all three is several times slower.
    for (const char c : {'\\', '/', '\0'}) {
        if (std::memchr(name.data(), c, name.size()) != nullptr) return false;
    }
    return true;
}

// A folder opened once; its renames go by name relative to it, so the
// kernel does not walk the folder's path for every file. The rules are those
// of MoveFile: never replacing, a change of case only through a temporary
// name where the system needs one, the same name as success, the same codes.
class TPosixFolder final : public FolderHandle {
public:
    TPosixFolder(FileSystem& fileSystem, std::string folderPath, TResolvedName folder, int descriptor)
        : m_fileSystem(fileSystem), m_path(std::move(folderPath)), m_folder(std::move(folder)), m_descriptor(descriptor)
    {
    }
    ~TPosixFolder() override { ::close(m_descriptor); }

    TPosixFolder(const TPosixFolder&) = delete;
    TPosixFolder& operator=(const TPosixFolder&) = delete;

    std::uint32_t MoveFile(std::string_view oldName, std::string_view newName) override
    {
        // Anything but two plain names is read by the name space's rules,
        // as the full names would be.
        if (!IsPlainName(oldName) || !IsPlainName(newName)) {
            return m_fileSystem.MoveFile(m_path + std::string(oldName), m_path + std::string(newName));
        }
        const TZeroTerminated from(oldName);
        if (oldName == newName) return Exists(from.c_str()) ? kErrorSuccess : Missing(oldName);
        const TZeroTerminated to(newName);
        int result = RenameWithoutReplacing(m_descriptor, from.c_str(), to.c_str());
        // A case-insensitive file system finds the new name of a change of
        // case as the file itself and calls it taken.
        if (result == EEXIST && MaySpellOneEntry(m_descriptor, from.c_str(), to.c_str())) {
            result = RenameThroughTemporaryName(m_descriptor, from.c_str(), to.c_str());
        }
        if (result == ENOENT) return Exists(from.c_str()) ? Missing(newName) : Missing(oldName);
        return ErrorFromErrno(result);
    }

private:
    bool Exists(const char* name) const
    {
        struct stat info {};
        return ::fstatat(m_descriptor, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
    }

    std::uint32_t Missing(std::string_view name) const
    {
        std::string unixPath = m_folder.UnixPath;
        if (unixPath != "/") unixPath += '/';
        unixPath += name;
        return MissingPathError(unixPath, m_folder.UnixRoot);
    }

    FileSystem& m_fileSystem;
    std::string m_path;  // as the caller named it, ending in a backslash
    TResolvedName m_folder;
    int m_descriptor;
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
        if (result == EEXIST && MaySpellOneEntry(AT_FDCWD, from->UnixPath.c_str(), to->UnixPath.c_str())) {
            result = RenameThroughTemporaryName(from->UnixPath.c_str(), to->UnixPath.c_str());
        }
        if (result == ENOENT) {
            return Exists(from->UnixPath) ? MissingPathError(to->UnixPath, to->UnixRoot)
                                          : MissingPathError(from->UnixPath, from->UnixRoot);
        }
        return ErrorFromErrno(result);
    }

    std::unique_ptr<FolderHandle> OpenFolder(std::string_view folderPath) override
    {
        const std::string path = WithTrailingBackslash(folderPath);
        std::uint32_t error = 0;
        std::optional<TResolvedName> folder = ResolveName(path, error);
        // O_PATH: the folder is only named, never read, so it may be one the
        // user can enter without reading it.
        const int descriptor =
            folder ? ::open(folder->UnixPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC) : -1;
        // Where the folder cannot be opened, the renames by full name say why.
        if (descriptor < 0) return FileSystem::OpenFolder(path);
        return std::make_unique<TPosixFolder>(*this, std::move(path), std::move(*folder), descriptor);
    }

    std::string GetCurrentDirectory() override { return CurrentFolder(); }

    std::uint32_t SetCurrentDirectory(std::string_view path) override
    {
        std::uint32_t error = 0;
        const std::optional<TResolvedName> folder = ResolveName(path, error);
        if (!folder) return error;
        // The folder is checked as entering it would check it, but the
        // process never enters it: a folder the user browsed to stays free
        // to be unmounted.
        if (const int failure = EnteringError(folder->UnixPath); failure != 0) {
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

    // The undo of a run finds its folder by these, whatever its path's length.
    std::unique_ptr<IdentifiedFolder> OpenIdentifiedFolder(std::string_view folderPath) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixFolder = ToUnixPath(folderPath, error);
        return unixFolder ? OpenIdentifiedUnixFolder(*unixFolder) : nullptr;
    }
    std::unique_ptr<IdentifiedFolder> ReopenIdentifiedFolder(std::string_view location) override
    {
        return ReopenIdentifiedUnixFolder(location);
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
        std::uint32_t error = 0;
        const std::optional<std::string> unixFolder = ToUnixPath(folder, error);
        if (!unixFolder) return FolderNameRules{.DotNamesHide = true};
        return FolderNameRulesOf(*unixFolder);
    }

    void NameKey(std::string_view name, NameCase nameCase, std::string& key) const override
    {
        PosixNameKey(name, nameCase, key);
    }

    std::unique_ptr<FolderEntries> OpenFolderEntries(std::string_view folder) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixFolder = ToUnixPath(folder, error);
        return unixFolder ? OpenPosixFolderEntries(*unixFolder) : nullptr;
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
