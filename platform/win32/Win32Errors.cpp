#include "platform/win32/Win32Errors.h"

#include "platform/FileSystem.h"

#include "platform/win32/Win32Api.h"

namespace quorvane::platform::win32 {

// The program's codes are the system's own; only the few places where
// Windows has two codes for one outcome, or none at all, need a word.
std::uint32_t LastError()
{
    const DWORD error = ::GetLastError();
    switch (error) {
    case ERROR_SUCCESS:
        // A call failed without saying why; calling that success would
        // let the caller go on as if nothing had happened.
        return kErrorGenFailure;
    case ERROR_FILE_EXISTS:
        // Some file systems refuse an existing target with this code, the
        // others (and the posix backend) with ERROR_ALREADY_EXISTS.
        return kErrorAlreadyExists;
    default:
        return static_cast<std::uint32_t>(error);
    }
}

}  // namespace quorvane::platform::win32
