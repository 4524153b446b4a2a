#include "platform/Registry.h"

#include "platform/win32/Win32Api.h"

#include <string>

// The registry of Windows, read only. Keys are the system's handles and the
// results are the system's codes, both handed through unchanged.
namespace quorvane::platform {
namespace {

HKEY ToHandle(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

class TWin32Registry final : public Registry {
public:
    std::int32_t OpenKey(RegistryKey parent, std::string_view subKey, RegistryKey& key) override
    {
        HKEY opened = nullptr;
        const LONG result = ::RegOpenKeyExA(ToHandle(parent), std::string(subKey).c_str(), 0, KEY_READ, &opened);
        if (result == ERROR_SUCCESS) key = reinterpret_cast<RegistryKey>(opened);
        return result;
    }

    std::int32_t QueryDefaultValueSize(RegistryKey key, std::uint32_t& size) override
    {
        DWORD bytes = 0;
        const LONG result = ::RegQueryValueExA(ToHandle(key), nullptr, nullptr, nullptr, nullptr, &bytes);
        if (result == ERROR_SUCCESS) size = bytes;
        return result;
    }

    std::int32_t QueryDefaultValue(RegistryKey key, char* buffer, std::uint32_t& size) override
    {
        DWORD bytes = size;
        const LONG result =
            ::RegQueryValueExA(ToHandle(key), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes);
        // A value stored without its closing zero gets one where there is
        // room, so that the caller never reads past the value.
        if (result == ERROR_SUCCESS && bytes < size && (bytes == 0 || buffer[bytes - 1] != '\0')) {
            buffer[bytes++] = '\0';
        }
        size = bytes;
        return result;
    }

    std::int32_t CloseKey(RegistryKey key) override { return ::RegCloseKey(ToHandle(key)); }
};

}  // namespace

Registry& NativeRegistry()
{
    static TWin32Registry registry;
    return registry;
}

}  // namespace quorvane::platform
