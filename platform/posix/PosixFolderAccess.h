#pragma once

#include "platform/FileSystem.h"

#include <memory>
#include <string_view>

namespace quorvane::platform::posix {

// The folder at the absolute Unix path `unixPath`, found one component at a
// time, so that a path of any length can be opened, with every symbolic link
// on the way followed; its location is the path without links. nullptr when
// it cannot be opened.
std::unique_ptr<IdentifiedFolder> OpenIdentifiedUnixFolder(std::string_view unixPath);

// The folder at a location that OpenIdentifiedUnixFolder gave, found again
// one component at a time without following any symbolic link: a folder on
// the way that has become a link since leads nowhere. nullptr when it cannot
// be opened.
std::unique_ptr<IdentifiedFolder> ReopenIdentifiedUnixFolder(std::string_view location);

}  // namespace quorvane::platform::posix
