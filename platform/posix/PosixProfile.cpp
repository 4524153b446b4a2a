#include "platform/Profile.h"

#include "platform/posix/DriveNameSpace.h"
#include "platform/posix/ProfileFile.h"

#include <cstdint>
#include <optional>

namespace quorvane::platform {

namespace {

// The profile service on Linux: the file name comes in the drive-letter name
// space and is mapped onto the Unix tree; a name that names nothing there
// reads as a missing file and cannot be written.
class PosixProfile final : public Profile {
public:
    std::string ReadString(std::string_view fileName, std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t bufferSize) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixPath = posix::ToUnixPath(fileName, error);
        if (!unixPath) return posix::ProfileDefault(defaultValue, bufferSize);
        return posix::ReadProfileFileString(*unixPath, section, key, defaultValue, bufferSize);
    }

    bool WriteString(std::string_view fileName, std::string_view section, std::string_view key,
                     std::string_view value) override
    {
        std::uint32_t error = 0;
        const std::optional<std::string> unixPath = posix::ToUnixPath(fileName, error);
        return unixPath && posix::WriteProfileFileString(*unixPath, section, key, value);
    }
};

}  // namespace

Profile& NativeProfile()
{
    static PosixProfile s_profile;
    return s_profile;
}

}  // namespace quorvane::platform
