#pragma once

#include <filesystem>
#include <system_error>

namespace quorvane::testing {

// Makes `folder` the process's current folder, which in the program is the
// folder the user browsed to last, and returns to the previous one when the
// guard goes.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::filesystem::path& folder) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::filesystem::path m_previous;
};

}  // namespace quorvane::testing
