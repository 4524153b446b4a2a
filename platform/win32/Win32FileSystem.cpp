#include "platform/FileSystem.h"

#include "platform/win32/Win32Errors.h"

#include "platform/win32/Win32Api.h"

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
};

}  // namespace

FileSystem& NativeFileSystem()
{
    static TWin32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace quorvane::platform
