#include "tests/support/Win32Wine.h"

#include "platform/win32/Win32Api.h"

namespace quorvane::testing {

std::optional<std::string> WineVersion()
{
    using TGetVersion = const char*(__cdecl*)();
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) return std::nullopt;
    const auto getVersion = reinterpret_cast<TGetVersion>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")));
    if (getVersion == nullptr) return std::nullopt;
    return std::string(getVersion());
}

}  // namespace quorvane::testing
