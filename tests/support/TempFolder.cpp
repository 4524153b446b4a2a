#include "tests/support/TempFolder.h"

#include "platform/posix/DriveNameSpace.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace quorvane::testing {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
    // A temporary folder outside every drive would be no use to the program.
    m_name = platform::posix::FromUnixPath(pattern).value_or(std::string());
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    // Read-only folders inside would stop the removal; give write access back first.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add | std::filesystem::perm_options::nofollow,
                                     ignored);
    }
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempFolder::CreateFile(std::string_view relativeName, std::string_view content) const
{
    const std::filesystem::path path = m_path / std::filesystem::path(std::string(relativeName));
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot create " + path.string());
    return path;
}

std::filesystem::path TempFolder::CreateFolder(std::string_view relativeName) const
{
    const std::filesystem::path path = m_path / std::filesystem::path(std::string(relativeName));
    std::filesystem::create_directories(path);
    return path;
}

bool TempFolder::Exists(std::string_view relativeName) const
{
    std::error_code ignored;
    return std::filesystem::exists(
        std::filesystem::symlink_status(m_path / std::filesystem::path(std::string(relativeName)), ignored));
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace quorvane::testing
