#include "platform/FileSystem.h"

#include "platform/win32/Win32Errors.h"
#include "runtime/FolderPath.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <string>

// The file system of Windows is the program's own name space, so every call
// goes to the system's ANSI function as it stands.
namespace quorvane::platform {
namespace {

class TWin32FindHandle final : public FindHandle {
public:
    TWin32FindHandle(HANDLE handle, const WIN32_FIND_DATAA& first) : m_handle(handle), m_data(first) {}

    ~TWin32FindHandle() override { ::FindClose(m_handle); }

    TWin32FindHandle(const TWin32FindHandle&) = delete;
    TWin32FindHandle& operator=(const TWin32FindHandle&) = delete;

    bool Next(FindEntry& entry) override
    {
        if (m_pending) {
            m_pending = false;
        } else if (!::FindNextFileA(m_handle, &m_data)) {
            return false;
        }
        // The long name, never the short alternate one.
        entry.Name = m_data.cFileName;
        entry.Attributes = m_data.dwFileAttributes & kAllAttributes;
        return true;
    }

private:
    HANDLE m_handle;
    WIN32_FIND_DATAA m_data;
    bool m_pending = true;
};

// Remembers the current folder of its drive the way the C runtime does, in
// the hidden variable "=C:", from which Windows resolves "C:" alone.
void RememberDriveFolder(const std::string& folder)
{
    if (folder.size() < 2 || folder[1] != ':') return;
    const char name[] = {'=', folder[0], ':', '\0'};
    ::SetEnvironmentVariableA(name, folder.c_str());
}

class TWin32FileSystem final : public FileSystem {
public:
    // Windows delivers every attribute with the entry, so there is nothing
    // to save for a caller that looks at only some of them.
    std::unique_ptr<FindHandle> FindFirst(std::string_view pattern) override
    {
        WIN32_FIND_DATAA data{};
        const HANDLE handle = ::FindFirstFileA(std::string(pattern).c_str(), &data);
        if (handle == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<TWin32FindHandle>(handle, data);
    }

    std::uint32_t MoveFile(std::string_view oldPath, std::string_view newPath) override
    {
        if (::MoveFileA(std::string(oldPath).c_str(), std::string(newPath).c_str())) return kErrorSuccess;
        return win32::LastError();
    }

    std::string GetCurrentDirectory() override
    {
        // The folder may change between asking for the size and reading it;
        // the second answer then asks for more room again.
        DWORD size = ::GetCurrentDirectoryA(0, nullptr);
        while (size > 0) {
            std::string folder(size, '\0');
            const DWORD length = ::GetCurrentDirectoryA(size, folder.data());
            if (length < size) {
                folder.resize(length);
                return folder;
            }
            size = length;
        }
        return {};
    }

    std::uint32_t SetCurrentDirectory(std::string_view path) override
    {
        const std::string previous = GetCurrentDirectory();
        if (!::SetCurrentDirectoryA(std::string(path).c_str())) return win32::LastError();
        // Leaving a drive keeps its folder for a later "C:"; the new one is
        // kept too, for a relative change that names its drive.
        RememberDriveFolder(previous);
        RememberDriveFolder(GetCurrentDirectory());
        return kErrorSuccess;
    }

    bool GetFileAttributes(std::string_view path, std::uint32_t& attributes) override
    {
        const DWORD found = ::GetFileAttributesA(std::string(path).c_str());
        if (found == INVALID_FILE_ATTRIBUTES) return false;
        attributes = found & kAllAttributes;
        return true;
    }

    bool GetFileIdentity(std::string_view path, FileIdentity& identity) override
    {
        // Opened for its attributes only, sharing everything, so that a file
        // another program holds open is still found; a link is not followed.
        const HANDLE handle = ::CreateFileA(std::string(path).c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                            nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        BY_HANDLE_FILE_INFORMATION information{};
        const bool read = ::GetFileInformationByHandle(handle, &information) != 0;
        ::CloseHandle(handle);
        if (!read) return false;
        identity.Volume = information.dwVolumeSerialNumber;
        identity.File = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
        identity.Links = information.nNumberOfLinks;
        return true;
    }

    // Windows gives a file's creation time with its volume serial number and
    // file index; the index of NTFS holds a sequence number as well, so a
    // reused index differs. A reparse point (a link or junction put in a
    // folder's place) is neither file nor folder here.
    EntryStamp GetEntryStamp(std::string_view path) override
    {
        const HANDLE handle = ::CreateFileA(std::string(path).c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                            nullptr);
        if (handle == INVALID_HANDLE_VALUE) return {};
        BY_HANDLE_FILE_INFORMATION information{};
        const bool read = ::GetFileInformationByHandle(handle, &information) != 0;
        ::CloseHandle(handle);
        if (!read) return {};
        const auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
        // 100-nanosecond steps since 1601 to nanoseconds since 1970.
        const auto time = [&](const FILETIME& at) {
            return (static_cast<std::int64_t>(join(at.dwHighDateTime, at.dwLowDateTime)) - 116444736000000000) * 100;
        };
        EntryStamp stamp;
        stamp.Type = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? EntryStamp::Kind::Other
            : (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0            ? EntryStamp::Kind::Folder
                                                                                        : EntryStamp::Kind::File;
        stamp.Volume = information.dwVolumeSerialNumber;
        stamp.File = join(information.nFileIndexHigh, information.nFileIndexLow);
        // A folder is known by volume and index alone: Wine reports the last
        // change of a folder's entries as its creation time, and the run
        // being undone changed them. The index of NTFS tells a fresh folder
        // in the old one's place apart anyway.
        stamp.HasBirth = stamp.Type == EntryStamp::Kind::File;
        stamp.Birth = stamp.HasBirth ? time(information.ftCreationTime) : 0;
        stamp.Changed = time(information.ftLastWriteTime);
        stamp.Size = join(information.nFileSizeHigh, information.nFileSizeLow);
        return stamp;
    }

    // The ANSI functions take full paths of at most MAX_PATH bytes with the
    // closing zero byte, and names of at most 255.
    FolderNameRules GetFolderNameRules(std::string_view folder) override
    {
        static constexpr char kForbidden[] = "\\/:*?\"<>|"
                                             "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F"
                                             "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F";
        FolderNameRules rules;
        rules.ForbiddenCharacters = std::string_view(kForbidden, sizeof kForbidden - 1);
        const std::size_t folderLength = folder.size() + (EndsWithBackslash(folder) ? 0 : 1);
        const std::size_t pathRoom = folderLength + 1 < MAX_PATH ? MAX_PATH - folderLength - 1 : 0;
        rules.MaxNameLength = std::min<std::size_t>(255, pathRoom);
        rules.Case = NameCase::IgnoreLetters;
        return rules;
    }

    // Windows's file systems compare names by the capitals of their letters.
    void NameKey(std::string_view name, NameCase nameCase, std::string& key) const override
    {
        key.assign(name);
        if (nameCase != NameCase::Exact && !key.empty()) {
            ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
        }
    }
};

}  // namespace

FileSystem& NativeFileSystem()
{
    static TWin32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace quorvane::platform
