#include "platform/Module.h"

#include "platform/posix/DriveNameSpace.h"

#include <climits>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::platform {

std::string NativeModuleFileName()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    std::string path(buffer, static_cast<std::size_t>(length));
    // An executable replaced while it runs (by an update) is reported with
    // this mark; its settings still belong beside the new one.
    constexpr std::string_view kDeleted = " (deleted)";
    struct stat info {};
    if (path.ends_with(kDeleted) && ::stat(path.c_str(), &info) != 0) path.resize(path.size() - kDeleted.size());
    return posix::FromUnixPath(path).value_or(std::string());
}

}  // namespace quorvane::platform
