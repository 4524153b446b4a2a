#pragma once

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace quorvane::bench {

// Runs `measure` with a fresh folder in the working directory (on the disk
// being measured, not in a memory file system) and removes the folder
// afterwards, whatever happened. The exit status for main: 0, or 1 when the
// folder could not be made or the measurement failed.
template <typename Measure>
int WithScratchFolder(Measure measure)
{
    std::string pattern = "quorvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path base = std::filesystem::absolute(pattern);
    int status = 0;
    try {
        measure(base);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
    return status;
}

}  // namespace quorvane::bench
