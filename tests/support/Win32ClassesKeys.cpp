#include "tests/support/Win32ClassesKeys.h"

#include "platform/win32/Win32Api.h"
#include "tests/support/Win32Wine.h"

#include <algorithm>

namespace quorvane::testing {
namespace {

constexpr const char* kClasses = "Software\\Classes";

// Windows shows the current user's classes in HKEY_CLASSES_ROOT, before the
// machine's; Wine (up to 8 at least) shows only the machine's, which in the
// test run's private Wine folder belong to nobody else either.
HKEY ClassesOwner() { return WineVersion() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

std::string UnderClasses(std::string_view path) { return std::string(kClasses) + "\\" + std::string(path); }

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(ClassesOwner(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

bool WriteDefault(const std::string& path, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(ClassesOwner(), path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool written =
        data == nullptr || ::RegSetValueExA(key, nullptr, 0, REG_SZ, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}

}  // namespace

Win32ClassesKeys::~Win32ClassesKeys()
{
    for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
        ::RegDeleteTreeA(ClassesOwner(), it->c_str());
    }
}

bool Win32ClassesKeys::Add(std::string_view path, std::optional<std::string_view> defaultValue)
{
    const std::string top = UnderClasses(path.substr(0, path.find('\\')));
    const bool ours = std::find(m_created.begin(), m_created.end(), top) != m_created.end();
    if (!ours) {
        if (KeyExists(top)) return false;
        m_created.push_back(top);
    }
    const std::string value = defaultValue ? std::string(*defaultValue) : std::string();
    return WriteDefault(UnderClasses(path), defaultValue ? value.c_str() : nullptr, static_cast<DWORD>(value.size() + 1));
}

bool Win32ClassesKeys::SetUnterminated(std::string_view path, std::string_view value)
{
    return WriteDefault(UnderClasses(path), value.data(), static_cast<DWORD>(value.size()));
}

}  // namespace quorvane::testing
