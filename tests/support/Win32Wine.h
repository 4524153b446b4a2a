#pragma once

#include <optional>
#include <string>

namespace quorvane::testing {

// The version of Wine the test runs under, or nothing on a real Windows.
std::optional<std::string> WineVersion();

}  // namespace quorvane::testing
