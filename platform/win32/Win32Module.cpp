#include "platform/Module.h"

#include "platform/win32/Win32Api.h"

namespace quorvane::platform {

std::string NativeModuleFileName()
{
    // A path longer than the buffer comes back cut to its size; a larger
    // buffer is tried until the whole path fits.
    for (DWORD size = MAX_PATH + 1; size <= 32768 * 2; size *= 2) {
        std::string path(size, '\0');
        const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

}  // namespace quorvane::platform
