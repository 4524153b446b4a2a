#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second) {
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                ::unsetenv(it->first.c_str());
            }
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
        for (const auto& saved : m_saved) {
            if (saved.first == name) return;
        }
        const char* value = std::getenv(name.c_str());
        m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

}  // namespace quorvane::testing
