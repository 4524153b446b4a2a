#include "platform/posix/MountTable.h"

#include "platform/Volumes.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <optional>

#include <dirent.h>

namespace quorvane::platform::posix {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The mount table writes blanks, tabs, newlines and backslashes as three
// octal digits after a backslash.
std::string DecodeOctalEscapes(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string_view digits = text.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                result += static_cast<char>(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) | (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

// The system names by-label links with "\x20" for a blank and "\x2f" for a
// slash.
std::string DecodeHexEscapes(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = HexValue(text[i + 2]);
            const int low = HexValue(text[i + 3]);
            if (high >= 0 && low >= 0) {
                result += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

bool AtOrBelow(std::string_view path, std::string_view folder)
{
    return path == folder || (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
                              path[folder.size()] == '/');
}

// The name of the link in `linkFolder` that leads to `device`, its escapes
// decoded; nothing when none does (or the folder is missing, as it is where
// no device manager runs).
std::optional<std::string> LinkNameFor(const std::string& linkFolder, const std::string& device)
{
    DIR* folder = ::opendir(linkFolder.c_str());
    if (folder == nullptr) return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (RealPath(linkFolder + "/" + name) == device) {
            found = DecodeHexEscapes(name);
            break;
        }
    }
    ::closedir(folder);
    return found;
}

// Desktops mount a volume at /media/<user>/<label> or /run/media/<user>/<label>,
// or under its UUID where it has no label.
std::string DesktopMountName(const std::string& mountPoint)
{
    for (const std::string_view base : {std::string_view("/media/"), std::string_view("/run/media/")}) {
        if (mountPoint.compare(0, base.size(), base) != 0) continue;
        const std::string_view rest = std::string_view(mountPoint).substr(base.size());
        const std::size_t slash = rest.find('/');
        if (slash == 0 || slash == std::string_view::npos) return {};
        const std::string_view name = rest.substr(slash + 1);
        if (name.empty() || name.find('/') != std::string_view::npos) return {};
        return std::string(name);
    }
    return {};
}

// The file system's own label where the device manager lists one; else the
// name of the folder the desktop mounted the volume at, unless that is only
// the volume's UUID.
// A volume mounted through FUSE may name no device at all ("fusefat"); its
// mount folder still says what the desktop called it.
std::string LabelOf(const TMountEntry& mount, const TVolumeSources& sources)
{
    const std::string device = !mount.Source.empty() && mount.Source[0] == '/' ? RealPath(mount.Source) : "";
    if (!device.empty()) {
        if (std::optional<std::string> label = LinkNameFor(sources.ByLabelFolder, device)) return std::move(*label);
    }
    std::string name = DesktopMountName(mount.MountPoint);
    if (name.empty() || (!device.empty() && LinkNameFor(sources.ByUuidFolder, device) == name)) return {};
    return name;
}

bool ReadsOne(const std::string& path)
{
    std::ifstream file(path);
    std::string value;
    return file && std::getline(file, value) && value == "1";
}

// A partition has no removable flag of its own; its disk, the folder above
// it in the kernel's device tree, has.
bool IsRemovableDevice(const std::string& source, const TVolumeSources& sources)
{
    if (source.empty() || source[0] != '/') return false;
    std::string device = RealPath(source);
    if (device.empty()) device = source;
    const std::string name = device.substr(device.find_last_of('/') + 1);
    if (name.empty()) return false;
    const std::string entry = sources.SysBlockFolder + "/" + name;
    std::ifstream own(entry + "/removable");
    if (own) return ReadsOne(entry + "/removable");
    return ReadsOne(entry + "/../removable");
}

std::uint32_t DriveTypeOf(const TMountEntry& mount, const TVolumeSources& sources)
{
    if (IsNetworkFileSystem(mount.Type)) return kDriveRemote;
    if (mount.Type == "iso9660" || mount.Type == "udf") return kDriveCdRom;
    if (mount.Type == "tmpfs" || mount.Type == "ramfs") return kDriveRamDisk;
    if (IsRemovableDevice(mount.Source, sources)) return kDriveRemovable;
    return kDriveFixed;
}

TVolumeDrive FixedDrive(char letter, const std::string& root, const std::vector<TMountEntry>& mounts)
{
    // The home folder and the whole tree are no volumes the user put in:
    // the label of the disk that holds them would only mislead, so they read
    // as drives without one.
    TVolumeDrive drive{letter, root, kDriveFixed, {}, CaseFlags(""), {}};
    if (const TMountEntry* mount = MountHolding(mounts, root)) drive.FileSystemFlags = CaseFlags(mount->Type);
    return drive;
}

}  // namespace

std::vector<TMountEntry> ReadMountTable(const std::string& path)
{
    std::vector<TMountEntry> mounts;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        // The table escapes only blanks, tabs, newlines and backslashes, so
        // those alone separate its fields: a carriage return or a form feed
        // in a stick's name is part of its mount point.
        std::vector<std::string_view> fields;
        std::string_view rest(line);
        while (fields.size() < 3) {
            const std::size_t start = rest.find_first_not_of(" \t");
            if (start == std::string_view::npos) break;
            rest.remove_prefix(start);
            const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
            fields.push_back(rest.substr(0, end));
            rest.remove_prefix(end);
        }
        if (fields.size() < 3) continue;
        mounts.push_back({DecodeOctalEscapes(fields[0]), DecodeOctalEscapes(fields[1]), DecodeOctalEscapes(fields[2])});
    }
    return mounts;
}

bool IsNetworkFileSystem(std::string_view type)
{
    return type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" || type == "fuse.sshfs";
}

bool IsUserVolume(const TMountEntry& mount)
{
    if (mount.MountPoint.empty() || mount.MountPoint[0] != '/') return false;
    return IsNetworkFileSystem(mount.Type) || AtOrBelow(mount.MountPoint, "/media") ||
        AtOrBelow(mount.MountPoint, "/run/media") || AtOrBelow(mount.MountPoint, "/mnt");
}

std::uint32_t CaseFlags(std::string_view type)
{
    static constexpr std::string_view kIgnoringCase[] = {"vfat", "exfat", "ntfs", "ntfs3", "cifs", "smb3"};
    if (std::find(std::begin(kIgnoringCase), std::end(kIgnoringCase), type) != std::end(kIgnoringCase)) {
        return kCasePreservedNames;
    }
    return kCasePreservedNames | kCaseSensitiveSearch;
}

const TMountEntry* MountHolding(const std::vector<TMountEntry>& mounts, const std::string& unixPath)
{
    const TMountEntry* best = nullptr;
    for (const TMountEntry& mount : mounts) {
        const bool holds = mount.MountPoint == "/" || AtOrBelow(unixPath, mount.MountPoint);
        if (holds && (best == nullptr || mount.MountPoint.size() >= best->MountPoint.size())) best = &mount;
    }
    return best;
}

std::vector<TVolumeDrive> VolumeDrives(const std::vector<TMountEntry>& mounts, const std::string& homeRoot,
                                       const TVolumeSources& sources)
{
    // The last mount on a mount point is the one a user sees there.
    std::vector<const TMountEntry*> volumes;
    for (const TMountEntry& mount : mounts) {
        // A network home folder or root is C: or Z: already.
        if (!IsUserVolume(mount) || mount.MountPoint == "/" || mount.MountPoint == homeRoot) continue;
        const auto same = std::find_if(volumes.begin(), volumes.end(),
                                       [&](const TMountEntry* seen) { return seen->MountPoint == mount.MountPoint; });
        if (same != volumes.end()) {
            *same = &mount;
        } else {
            volumes.push_back(&mount);
        }
    }

    std::vector<TVolumeDrive> drives;
    drives.push_back(FixedDrive('C', homeRoot, mounts));
    char letter = 'D';
    for (const TMountEntry* mount : volumes) {
        if (letter > 'Y') break;
        TVolumeDrive drive{letter++, mount->MountPoint, DriveTypeOf(*mount, sources), LabelOf(*mount, sources),
                           CaseFlags(mount->Type), {}};
        if (drive.DriveType == kDriveRemote) drive.RemoteName = mount->Source;
        drives.push_back(std::move(drive));
    }
    drives.push_back(FixedDrive('Z', "/", mounts));
    return drives;
}

}  // namespace quorvane::platform::posix
