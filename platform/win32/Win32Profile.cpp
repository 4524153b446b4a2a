#include "platform/Profile.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <string>
#include <vector>

// The system's own private-profile functions, which keep the INI files'
// layout and locking as every other Windows program does.
namespace quorvane::platform {
namespace {

class TWin32Profile final : public Profile {
public:
    std::string ReadString(std::string_view fileName, std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t bufferSize) override
    {
        // The system takes the size as a 32-bit count; a 64-bit program must
        // not let a larger buffer wrap round to a small or zero size.
        bufferSize = std::min<std::size_t>(bufferSize, MAXDWORD);
        if (bufferSize == 0) return {};
        std::vector<char> buffer(bufferSize, '\0');
        const DWORD length = ::GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                                        std::string(defaultValue).c_str(), buffer.data(),
                                                        static_cast<DWORD>(bufferSize), std::string(fileName).c_str());
        return std::string(buffer.data(), std::min<std::size_t>(length, bufferSize - 1));
    }

    bool WriteString(std::string_view fileName, std::string_view section, std::string_view key,
                     std::string_view value) override
    {
        return ::WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                            std::string(value).c_str(), std::string(fileName).c_str()) != FALSE;
    }
};

}  // namespace

Profile& NativeProfile()
{
    static TWin32Profile profile;
    return profile;
}

}  // namespace quorvane::platform
