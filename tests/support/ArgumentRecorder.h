#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::testing {

// A small shell script that a started program can be: it writes each of its
// arguments on a line of its own, then what it can tell about its process
// ("stdin=/dev/null" and so on), into a file that appears whole at once.
class ArgumentRecorder {
public:
    // Creates the script `scriptPath`, executable, writing into `outputPath`;
    // `watchedFd` is a descriptor the script reports as "fd=open" or
    // "fd=closed" (-1: none).
    ArgumentRecorder(std::filesystem::path scriptPath, std::filesystem::path outputPath, int watchedFd = -1);

    const std::filesystem::path& Script() const { return m_script; }

    // The lines the script wrote, once the file is there; nothing when it did
    // not appear within `seconds`. The started program runs on its own, so
    // this polls for its file, with a generous bound for a loaded machine.
    std::optional<std::vector<std::string>> Lines(int seconds = 20) const;

private:
    std::filesystem::path m_script;
    std::filesystem::path m_output;
};

}  // namespace quorvane::testing
