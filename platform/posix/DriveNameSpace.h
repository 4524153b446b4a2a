#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The drive-letter name space of the program mapped onto the Unix tree: C:
// is the user's home folder, Z: is /, mounted volumes get further letters.
// Only the posix backends use it, at their boundary to the system.
namespace quorvane::platform::posix {

// One drive: its letter and the Unix folder that is its root.
struct TDriveRoot {
    char Letter = 0;
    std::string UnixRoot;
};

// A name of the drive-letter space resolved against the current folders.
struct TResolvedName {
    char Drive = 0;        // 'C'
    std::string Name;      // the full name in the system's own form: "C:\Musik", "C:\" for a root
    std::string UnixPath;  // "/home/anna/Musik"
    std::string UnixRoot;  // the root of the drive: "/home/anna"
};

// Resolves a name of the drive-letter space ("C:\Musik", "Musik", "\Musik",
// "D:", "..\x"; "/" separates as "\" does) against the current folders, by
// text as Windows does: "." and ".." never touch the file system. On failure:
// nothing, and `error` holds the Windows error code (15 for an unknown drive,
// 3 for a name that cannot be a path, 123 for a name holding a zero byte).
std::optional<TResolvedName> ResolveName(std::string_view path, std::uint32_t& error);

// The Unix path of ResolveName.
std::optional<std::string> ToUnixPath(std::string_view path, std::uint32_t& error);

// The drive-letter name of an absolute Unix path ("/home/anna/Musik" ->
// "C:\Musik"), under the drive with the longest root that holds it; nothing
// when the path lies outside every drive or cannot be named (a component
// holds a backslash).
std::optional<std::string> FromUnixPath(std::string_view unixPath);

// The drives in letter order.
std::vector<TDriveRoot> Drives();

// Builds the drive table anew: C: from the home folder as it is now ($HOME,
// else the user database), Z: for /, and `volumes` for the letters D: to Y:.
// This is where the volume service puts the mounted volumes after each scan
// of the mount table. Drives whose root stays keep their current folder.
// False, and nothing changed, for a letter outside D..Y, a letter given twice
// or a root that is not an absolute path.
bool RebuildDrives(const std::vector<TDriveRoot>& volumes = {});

// The current folder of the current drive, in the system's own form.
std::string CurrentFolder();

// Makes `folder` the current folder of its drive and its drive the current
// one. The process's working directory stays where it is: the name space
// is where relative names are resolved. The first use of the name space
// takes the process's working directory as the current folder and then
// moves the process to the home folder, so that no folder the program
// shows, or was started in, is held busy by it.
void RecordCurrentFolder(const TResolvedName& folder);

}  // namespace quorvane::platform::posix
