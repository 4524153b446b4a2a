#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

namespace platform {
class FileSystem;
}

// The rules by which the folder list reads a folder the user asks for. They
// walk the request through the process's current directory, so that a folder
// that does not exist shows as the error of the folder where the walk
// stopped, and always leave the current directory as they found it.

// Where a request for a folder leads: the drive it names and the folder
// to change to on that drive.
struct TSplitTarget {
    char Drive = 0;
    std::string Folder;
};

// Takes a request as a user may type it ("C:\Daten\Musik\", "Musik",
// "C:\Daten\Musik\lied.mp3", "C:\Daten\Musik\*.mp3", "[\Daten]") apart into
// its drive and the folder it leads to: a file or a mask leads to the folder
// that holds it, a trailing backslash is ignored, a relative name is taken
// relative to the current folder. It walks there through the current
// directory to know that the folders exist, and always returns with the
// current directory as it found it. Raises EInOutError when a folder on the
// way cannot be entered (or the current directory cannot be restored).
//
// A request that names an existing folder as it stands leads to that
// folder, as a full path, before any of these rules is tried: on Linux a
// folder may be called "Live: 2020", "Why?" or "Best of *".
TSplitTarget SplitTarget(std::string_view request);

// Where a folder named as it stands leads, as a full path, read through the
// current directory, which is left as it was found. Raises EInOutError when
// the folder cannot be entered.
TSplitTarget FolderTarget(std::string_view folder);

// Makes `folder` the current directory; raises EInOutError when it cannot
// be entered.
void EnterFolder(platform::FileSystem& fileSystem, std::string_view folder);

}  // namespace quorvane
