#include "platform/SettingsFolders.h"

#include "platform/posix/DriveNameSpace.h"
#include "platform/posix/ProfileFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::platform {

namespace {

bool IsFolder(const std::string& unixPath)
{
    struct stat info {};
    return ::stat(unixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The settings folders on Linux: a folder counts as writable when the kernel
// would let this process create a file in it, which also answers no for a
// read-only mount; the user's folder follows the XDG base directories.
class PosixSettingsFolders final : public SettingsFolders {
public:
    bool CanWriteFolder(std::string_view folder) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixPath = posix::ToUnixPath(folder, error);
        return unixPath && IsFolder(*unixPath) &&
               ::faccessat(AT_FDCWD, unixPath->c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    }

    std::string UserSettingsFolder(std::string_view program) override
    {
        // A relative or empty $XDG_CONFIG_HOME is to be ignored, as the base
        // directory rules say; the default then lies in the home folder,
        // which is drive C: itself.
        const char* configHome = std::getenv("XDG_CONFIG_HOME");
        if (configHome == nullptr || configHome[0] != '/') return "C:\\.config\\" + std::string(program);
        const std::optional<std::string> folder = posix::FromUnixPath(configHome);
        if (!folder) return {};
        return *folder + (folder->ends_with('\\') ? "" : "\\") + std::string(program);
    }

    bool CanUseFile(std::string_view file) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixPath = posix::ToUnixPath(file, error);
        return !unixPath || posix::IsUsableProfileFile(*unixPath);
    }

    bool CreateFolder(std::string_view folder) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixPath = posix::ToUnixPath(folder, error);
        if (!unixPath) return false;
        // Each missing level is made for the user alone, as the base
        // directory rules ask of a configuration folder that did not exist.
        for (std::size_t end = unixPath->find('/', 1);; end = unixPath->find('/', end + 1)) {
            const std::string level = unixPath->substr(0, end);
            if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
            if (end == std::string::npos) break;
        }
        return IsFolder(*unixPath);
    }
};

}  // namespace

SettingsFolders& NativeSettingsFolders()
{
    static PosixSettingsFolders s_folders;
    return s_folders;
}

}  // namespace quorvane::platform
