#pragma once

#include "platform/Registry.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::testing {

// A registry of the keys a test adds, which counts what is opened and closed
// so that a test can prove that every key was closed again.
class FakeRegistry final : public platform::Registry {
public:
    // Adds a key by its full path below the root ("htmlfile\shell\open\command");
    // letter case does not matter. Without a value the key has no default value.
    void AddKey(std::string_view path, std::optional<std::string> defaultValue = std::nullopt);

    // The key opens, but the size of its default value cannot be asked.
    void FailSizeQuery(std::string_view path);

    // The key's size can be asked, but reading its value fails and writes nothing.
    void FailRead(std::string_view path);

    // How the commands a test adds are written (Windows command lines unless set).
    void SetCommands(platform::CommandFormat format) { m_commands = format; }
    platform::CommandFormat Commands() const override { return m_commands; }

    // Every name asked for, opened or not, as full paths in the order asked.
    const std::vector<std::string>& Attempts() const { return m_attempts; }
    int OpenCount() const { return m_openCount; }
    int CloseCount() const { return m_closeCount; }

    // True when every key opened was closed exactly once.
    bool AllClosed() const { return m_open.empty() && m_invalidCloses == 0; }

    std::int32_t OpenKey(platform::RegistryKey parent, std::string_view subKey, platform::RegistryKey& key) override;
    std::int32_t QueryDefaultValueSize(platform::RegistryKey key, std::uint32_t& size) override;
    std::int32_t QueryDefaultValue(platform::RegistryKey key, char* buffer, std::uint32_t& size) override;
    std::int32_t CloseKey(platform::RegistryKey key) override;

private:
    struct TKey {
        std::optional<std::string> value;
        bool failSize = false;
        bool failRead = false;
    };

    TKey* Find(platform::RegistryKey key);

    std::map<std::string, TKey> m_keys;
    std::map<platform::RegistryKey, std::string> m_open;
    std::vector<std::string> m_attempts;
    platform::RegistryKey m_nextKey = 100;
    int m_openCount = 0;
    int m_closeCount = 0;
    int m_invalidCloses = 0;
    platform::CommandFormat m_commands = platform::CommandFormat::kWindowsCommandLine;
};

}  // namespace quorvane::testing
