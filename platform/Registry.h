#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane::platform {

// An open registry key. On Windows this is the system's key handle itself,
// so the backend hands it through unchanged.
using RegistryKey = std::uintptr_t;

// The root of the file-type associations, with the value Windows gives it:
// 0x80000000, sign-extended to the width of a pointer.
inline constexpr RegistryKey kClassesRoot = static_cast<RegistryKey>(std::intptr_t{-0x7FFFFFFF - 1});

// Result codes of the registry, with the values Windows uses.
enum RegistryResult : std::int32_t {
    kRegistrySuccess = 0,
    kRegistryKeyNotFound = 2,
    kRegistryInvalidHandle = 6,
    kRegistryNotEnoughMemory = 8,
    kRegistryMoreData = 234,
};

// How the commands of the associations ("...\shell\open\command") are
// written: as a Windows command line, whose program the reader has to find
// by its extension, or as the Exec line of a desktop entry, with its own
// quoting and field codes (%u and the like).
enum class CommandFormat {
    kWindowsCommandLine,
    kDesktopEntryExec,
};

// Read-only access to the file-type associations below kClassesRoot. Every
// call answers with a RegistryResult code; every key opened successfully
// must be closed again with CloseKey, also the ones opened below another key.
class Registry {
public:
    virtual ~Registry() = default;

    // Opens `subKey` (components separated by backslashes) below `parent`,
    // which is kClassesRoot or an open key, for reading; an empty `subKey`
    // opens `parent` once more. On success `key` holds the new key. Letter
    // case does not matter, except in the names of desktop entries on posix
    // systems, which are file names there.
    virtual std::int32_t OpenKey(RegistryKey parent, std::string_view subKey, RegistryKey& key) = 0;

    // The size in bytes of the key's default value, its terminating NUL
    // included. kRegistryKeyNotFound when the key has no default value.
    virtual std::int32_t QueryDefaultValueSize(RegistryKey key, std::uint32_t& size) = 0;

    // Copies the key's default value and its terminating NUL into `buffer`,
    // which holds `size` bytes; `size` becomes the value's size. When the
    // buffer is too small the result is kRegistryMoreData and the buffer's
    // content is not defined.
    virtual std::int32_t QueryDefaultValue(RegistryKey key, char* buffer, std::uint32_t& size) = 0;

    virtual std::int32_t CloseKey(RegistryKey key) = 0;

    // How this registry's commands are written; Windows command lines unless
    // the backend says otherwise.
    virtual CommandFormat Commands() const { return CommandFormat::kWindowsCommandLine; }
};

// The registry of this system, or the one a test put in its place.
Registry& HostRegistry();

// The real backend of this operating system.
Registry& NativeRegistry();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
Registry* ReplaceHostRegistry(Registry* replacement);

}  // namespace quorvane::platform
