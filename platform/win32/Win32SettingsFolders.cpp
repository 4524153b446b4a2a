#include "platform/SettingsFolders.h"

#include "platform/win32/Win32Api.h"

#include <string>

namespace quorvane::platform {

namespace {

bool IsFolder(const std::string& folder)
{
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// On Windows the settings file stays beside the executable: the system
// itself sends the writes of an older program in a protected folder to the
// user's own store, so there is no folder of the program's to fall back on.
class TWin32SettingsFolders final : public SettingsFolders {
public:
    // Access rights on Windows are lists the program cannot read cheaply;
    // creating and removing a file answers the question as the system would.
    bool CanWriteFolder(std::string_view folder) override
    {
        const std::string name(folder);
        if (!IsFolder(name)) return false;
        char probe[MAX_PATH + 1] = {};
        if (::GetTempFileNameA(name.c_str(), "qv", 0, probe) == 0) return false;
        ::DeleteFileA(probe);
        return true;
    }

    std::string UserSettingsFolder(std::string_view) override { return {}; }

    bool CreateFolder(std::string_view folder) override
    {
        const std::string name(folder);
        // Each level in turn, so that missing parents are made too; a level
        // that exists already (a drive's root among them) is passed over.
        for (std::size_t end = name.find_first_of("\\/", 3);; end = name.find_first_of("\\/", end + 1)) {
            const std::string level = name.substr(0, end);
            if (!IsFolder(level) && !::CreateDirectoryA(level.c_str(), nullptr) && !IsFolder(level)) return false;
            if (end == std::string::npos) break;
        }
        return IsFolder(name);
    }
};

}  // namespace

SettingsFolders& NativeSettingsFolders()
{
    static TWin32SettingsFolders s_folders;
    return s_folders;
}

}  // namespace quorvane::platform
