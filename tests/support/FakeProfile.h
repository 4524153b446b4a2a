#pragma once

#include "platform/Profile.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace quorvane::testing {

// A profile service in memory that notes every call, for tests of the code
// that reads and writes settings:
//   FakeProfile profile;
//   ScopedHostService<platform::Profile> guard(profile, platform::ReplaceHostProfile);
// Section and key names match ignoring ASCII case, as in the real service.
class FakeProfile : public platform::Profile {
public:
    std::string ReadString(std::string_view fileName, std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t bufferSize) override;
    bool WriteString(std::string_view fileName, std::string_view section, std::string_view key,
                     std::string_view value) override;

    // Puts a value in place as if the file held it; not noted as a call.
    void Set(std::string_view fileName, std::string_view section, std::string_view key, std::string_view value);

    // The value held, or nothing when it was never written.
    std::optional<std::string> Value(std::string_view fileName, std::string_view section, std::string_view key) const;

    // With false, every write fails and changes nothing (a folder that cannot be written).
    void SetWritable(bool writable) { m_writable = writable; }

    // The calls in their order: "read FormMain/Oben", "write FormMain/Oben=5"
    // (failed writes are noted too).
    const std::vector<std::string>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }

private:
    using Address = std::tuple<std::string, std::string, std::string>;
    static Address AddressOf(std::string_view fileName, std::string_view section, std::string_view key);

    std::map<Address, std::string> m_values;
    std::vector<std::string> m_calls;
    bool m_writable = true;
};

}  // namespace quorvane::testing
