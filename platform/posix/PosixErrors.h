#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane::platform::posix {

// The Windows error code for an errno value, so that messages read the same
// on both systems. The one place where errno values become codes.
std::uint32_t ErrorFromErrno(int error);

// The code for a path that does not exist (ENOENT): 21 (not ready) when the
// root of its drive is gone, as with a volume taken out; 2 (file not found)
// when only its last part is missing; 3 (path not found) when a folder on the
// way is missing already.
std::uint32_t MissingPathError(std::string_view unixPath, std::string_view unixRoot);

}  // namespace quorvane::platform::posix
