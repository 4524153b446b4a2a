#include "platform/Volumes.h"

#include "platform/win32/Win32Api.h"

#include <winnetwk.h>

#include <string>

namespace quorvane::platform {
namespace {

// A volume label has at most 32 characters; the buffer is as large as the
// drive list has always asked with.
constexpr DWORD kLabelBufferSize = 261;

class TWin32Volumes final : public Volumes {
public:
    std::uint32_t LogicalDrives() override { return ::GetLogicalDrives(); }

    std::uint32_t GetDriveType(std::string_view root) override { return ::GetDriveTypeA(std::string(root).c_str()); }

    bool GetVolumeInformation(std::string_view root, VolumeInformation& information) override
    {
        char label[kLabelBufferSize] = {};
        DWORD flags = 0;
        if (!::GetVolumeInformationA(std::string(root).c_str(), label, kLabelBufferSize, nullptr, nullptr, &flags,
                                     nullptr, 0)) {
            return false;
        }
        information.Label = label;
        information.FileSystemFlags = flags;
        return true;
    }

    std::uint32_t GetConnection(std::string_view localName, std::string& remoteName) override
    {
        const std::string local(localName);
        DWORD size = MAX_PATH + 1;
        for (int attempt = 0; attempt < 3; ++attempt) {
            std::string buffer(size, '\0');
            const DWORD result = ::WNetGetConnectionA(local.c_str(), buffer.data(), &size);
            if (result == NO_ERROR) {
                remoteName = buffer.c_str();
                return NO_ERROR;
            }
            // A longer name says how much room it needs; ask again with that.
            if (result != ERROR_MORE_DATA) return result;
        }
        return ERROR_MORE_DATA;
    }

    std::uint32_t SetErrorMode(std::uint32_t mode) override { return ::SetErrorMode(mode); }
};

}  // namespace

Volumes& NativeVolumes()
{
    static TWin32Volumes volumes;
    return volumes;
}

}  // namespace quorvane::platform
