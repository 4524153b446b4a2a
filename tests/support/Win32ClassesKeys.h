#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing {

// File-type keys a test writes into the current user's classes, where
// HKEY_CLASSES_ROOT shows them (under Wine into the machine's classes of the
// private Wine folder), and removes again when it goes. Keys that
// already existed there are never written over or removed: such a key makes
// Add fail, so that a test on a real desktop leaves the user's own
// associations alone.
class Win32ClassesKeys {
public:
    Win32ClassesKeys() = default;
    ~Win32ClassesKeys();

    Win32ClassesKeys(const Win32ClassesKeys&) = delete;
    Win32ClassesKeys& operator=(const Win32ClassesKeys&) = delete;

    // Creates `path` (below the classes, components separated by
    // backslashes) and, when given, its default value; false when the key's
    // top component existed already or cannot be written.
    bool Add(std::string_view path, std::optional<std::string_view> defaultValue = std::nullopt);

    // Gives the key a default value stored without a closing zero.
    bool SetUnterminated(std::string_view path, std::string_view value);

private:
    std::vector<std::string> m_created;
};

}  // namespace quorvane::testing
