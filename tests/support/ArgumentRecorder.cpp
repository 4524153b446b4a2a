#include "tests/support/ArgumentRecorder.h"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace quorvane::testing {

ArgumentRecorder::ArgumentRecorder(std::filesystem::path scriptPath, std::filesystem::path outputPath, int watchedFd)
    : m_script(std::move(scriptPath)), m_output(std::move(outputPath))
{
    const std::string output = m_output.string();
    std::ofstream script(m_script, std::ios::binary);
    script << "#!/bin/sh\n"
              "fds=\"stdin=$(readlink /proc/$$/fd/0) stdout=$(readlink /proc/$$/fd/1) "
              "stderr=$(readlink /proc/$$/fd/2)\"\n"
              "fd=closed\n"
              "[ -e /proc/$$/fd/"
           << watchedFd
           << " ] && fd=open\n"
              "{\n"
              "  for word in \"$@\"; do printf '%s\\n' \"$word\"; done\n"
              "  for item in $fds; do printf '%s\\n' \"$item\"; done\n"
              "  printf 'fd=%s\\n' \"$fd\"\n"
              "  set -- $(cat /proc/$$/stat)\n"
              "  printf 'session=%s\\n' \"$6\"\n"
              "} > '"
           << output << ".part' && mv '" << output << ".part' '" << output << "'\n";
    script.close();
    if (!script) throw std::runtime_error("cannot write " + m_script.string());
    std::filesystem::permissions(m_script, std::filesystem::perms::owner_all);
}

std::optional<std::vector<std::string>> ArgumentRecorder::Lines(int seconds) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!std::filesystem::exists(m_output)) {
        if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(m_output, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace quorvane::testing
