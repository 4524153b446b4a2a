#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace quorvane::testing {

// Sets and removes environment variables for the lifetime of the guard and
// restores every one it touched when it goes.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }

    void Set(const std::string& name, const std::string& value)
    {
        Remember(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    void Unset(const std::string& name)
    {
        Remember(name);
        ::unsetenv(name.c_str());
    }

private:
    void Remember(const std::string& name)
    {
        const char* value = std::getenv(name.c_str());
        m_saved.try_emplace(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::map<std::string, std::optional<std::string>> m_saved;
};

}  // namespace quorvane::testing
