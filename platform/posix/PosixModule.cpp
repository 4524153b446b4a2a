#include "platform/Module.h"

#include "platform/posix/DriveNameSpace.h"

#include <climits>

#include <unistd.h>

namespace quorvane::platform {

std::string NativeModuleFileName()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return posix::FromUnixPath(std::string_view(path, static_cast<std::size_t>(length))).value_or(std::string());
}

}  // namespace quorvane::platform
