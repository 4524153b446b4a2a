#pragma once

#include <cstddef>
#include <string>

#include <sys/stat.h>

namespace quorvane::platform::posix {

enum class FileRead {
    kRead,
    // Neither the file nor its folder exists (a dangling link counts as missing).
    kMissing,
    // Something is there that is no regular file, is larger than allowed or cannot be read.
    kUnreadable,
};

// Reads the regular file at `path` whole into `content`, at most `largest`
// bytes of it, and its status into `status`. Whatever else someone put in a
// file's place is never read: a named pipe would block the program until
// somebody writes into it, a device could deliver without end, and a folder
// or a file of gigabytes is no text file the program ever wrote.
FileRead ReadRegularFile(const std::string& path, std::size_t largest, std::string& content, struct stat& status);

}  // namespace quorvane::platform::posix
