#include "platform/posix/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace quorvane::platform::posix {

FileRead ReadRegularFile(const std::string& path, std::size_t largest, std::string& content, struct stat& status)
{
    // Without O_NONBLOCK the opening of a named pipe already blocks until a
    // writer comes; O_NOCTTY keeps a terminal put in the file's place from
    // becoming the program's own.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kUnreadable;
    FileRead state = FileRead::kRead;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || static_cast<std::size_t>(status.st_size) > largest) {
        state = FileRead::kUnreadable;
    } else {
        content.clear();
        char buffer[65536];
        for (;;) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count > 0) {
                // A file that grows while it is read is held to the same limit.
                content.append(buffer, static_cast<std::size_t>(count));
                if (content.size() > largest) {
                    state = FileRead::kUnreadable;
                    break;
                }
            } else if (count == 0) {
                break;
            } else if (errno != EINTR) {
                state = FileRead::kUnreadable;
                break;
            }
        }
    }
    ::close(fd);
    return state;
}

}  // namespace quorvane::platform::posix
