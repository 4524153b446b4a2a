#include "widgets/FolderRequest.h"

#include "platform/FileSystem.h"
#include "runtime/Exceptions.h"
#include "runtime/FolderPath.h"

#include <string>

namespace quorvane {

namespace {

void RaiseOnFailure(std::uint32_t errorCode)
{
    if (errorCode != platform::kErrorSuccess) throw EInOutError(errorCode);
}

// Whether the rules for requests would read a character of `request` as
// something else than part of a name: a mask character, or a colon other
// than the one after a drive letter.
bool HoldsCharactersTheRulesMisread(std::string_view request)
{
    for (std::size_t i = 0; i < request.size(); ++i) {
        if (request[i] == '*' || request[i] == '?' || (request[i] == ':' && i != 1)) return true;
    }
    return false;
}

// Enters `folder` as it stands and reads back where that led, in the
// system's own form; the current directory is left there on success.
std::uint32_t EnterAsItStands(platform::FileSystem& fileSystem, std::string_view folder, TSplitTarget& target)
{
    const std::uint32_t error = fileSystem.SetCurrentDirectory(folder);
    if (error != platform::kErrorSuccess) return error;
    const std::string reached = fileSystem.GetCurrentDirectory();
    target.Drive = reached.empty() ? '\0' : reached[0];
    target.Folder = reached.size() > 2 ? reached.substr(2) : std::string(1, '\\');
    return platform::kErrorSuccess;
}

// The steps of SplitTarget between taking the request apart and restoring
// the current directory.
void WalkToTarget(platform::FileSystem& fileSystem, char startDrive, TSplitTarget& target)
{
    std::string& folder = target.Folder;
    if (target.Drive != startDrive) RaiseOnFailure(fileSystem.SetCurrentDirectory(std::string{target.Drive, ':'}));

    // The file system takes "/" as a separator too, so a name must never
    // hold one: "x/Daten" would otherwise be entered as a folder of its own
    // and joined to the folder it started from.
    const std::size_t separator = folder.find_last_of("\\/:");
    const std::string name = separator == std::string::npos ? folder : folder.substr(separator + 1);
    if (folder.size() == name.size() + 1) {
        folder.assign(1, '\\');
    } else if (folder.size() > name.size()) {
        folder.resize(folder.size() - name.size() - 1);
    } else {
        folder = fileSystem.GetCurrentDirectory().substr(2);
    }
    if (!folder.empty()) RaiseOnFailure(fileSystem.SetCurrentDirectory(folder));

    // A file or a mask names the folder that holds it; anything else is a
    // folder of its own.
    if (!name.empty() && name.find_first_of("*?") == std::string::npos && !fileSystem.FileExists(name)) {
        RaiseOnFailure(fileSystem.SetCurrentDirectory(name));
        // Joined by looking at the last character, so that a relative folder
        // of one letter ("M\Live") stays relative.
        folder = WithTrailingBackslash(folder) + name;
    }
}

}  // namespace

void EnterFolder(platform::FileSystem& fileSystem, std::string_view folder)
{
    RaiseOnFailure(fileSystem.SetCurrentDirectory(folder));
}

TSplitTarget SplitTarget(std::string_view request)
{
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    const std::string start = fileSystem.GetCurrentDirectory();
    TSplitTarget target{start.empty() ? '\0' : start[0], std::string(request)};

    // Names on Linux may hold ":", "*" and "?". A request that names an
    // existing folder as it stands means that folder, even where the rules
    // below would read a separator or a mask into it. Only such requests are
    // tried as they stand: on Windows they never name a folder, so there
    // everything else keeps the rules alone.
    if (HoldsCharactersTheRulesMisread(request) &&
        EnterAsItStands(fileSystem, request, target) == platform::kErrorSuccess) {
        RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
        return target;
    }

    std::string& folder = target.Folder;
    if (folder.size() >= 2 && folder.front() == '[' && folder.back() == ']') {
        folder = folder.substr(1, folder.size() - 2);
    } else if (folder.find(':') == 1) {
        target.Drive = folder[0];
        folder.erase(0, 2);
    }

    try {
        WalkToTarget(fileSystem, start[0], target);
    } catch (...) {
        RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
        throw;
    }
    RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
    return target;
}

TSplitTarget FolderTarget(std::string_view folder)
{
    platform::FileSystem& fileSystem = platform::HostFileSystem();
    const std::string start = fileSystem.GetCurrentDirectory();
    TSplitTarget target;
    const std::uint32_t error = EnterAsItStands(fileSystem, folder, target);
    RaiseOnFailure(fileSystem.SetCurrentDirectory(start));
    RaiseOnFailure(error);
    return target;
}

}  // namespace quorvane
