#pragma once

#include <cstdint>

namespace quorvane::platform::win32 {

// The error of the last failed system call in the program's error codes.
std::uint32_t LastError();

}  // namespace quorvane::platform::win32
