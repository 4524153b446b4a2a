#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing {

// A real, empty folder below the system's temporary folder, removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // The folder as the program's file-system service names it: the
    // Windows path itself, on Linux its drive-letter name (Z:\tmp\...).
    const std::string& Name() const { return m_name; }

    // A file of the folder as the program names it.
    std::string NameOf(std::string_view relativeName) const { return m_name + "\\" + std::string(relativeName); }

    // Creates a file (and the folders above it) relative to the folder.
    std::filesystem::path CreateFile(std::string_view relativeName, std::string_view content = {}) const;
    std::filesystem::path CreateFolder(std::string_view relativeName) const;
    bool Exists(std::string_view relativeName) const;

    // The names in the folder, sorted by bytes, as the file system has them.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path m_path;
    std::string m_name;
};

// Every byte of a file; empty when there is none.
inline std::string FileContent(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace quorvane::testing
