#include "platform/posix/MountTable.h"

#include "platform/Volumes.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>

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

std::string LabelOf(const TMountEntry& mount, const TVolumeSources& sources)
{
    if (mount.Source.empty() || mount.Source[0] != '/') return {};
    const std::string device = RealPath(mount.Source);
    if (device.empty()) return {};
    DIR* folder = ::opendir(sources.ByLabelFolder.c_str());
    if (folder == nullptr) return {};
    std::string label;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (RealPath(sources.ByLabelFolder + "/" + name) == device) {
            label = DecodeHexEscapes(name);
            break;
        }
    }
    ::closedir(folder);
    return label;
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

TVolumeDrive FixedDrive(char letter, const std::string& root, const std::vector<TMountEntry>& mounts,
                        const TVolumeSources& sources)
{
    TVolumeDrive drive{letter, root, kDriveFixed, {}, CaseFlags(""), {}};
    if (const TMountEntry* mount = MountHolding(mounts, root)) {
        drive.Label = LabelOf(*mount, sources);
        drive.FileSystemFlags = CaseFlags(mount->Type);
    }
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
    drives.push_back(FixedDrive('C', homeRoot, mounts, sources));
    char letter = 'D';
    for (const TMountEntry* mount : volumes) {
        if (letter > 'Y') break;
        TVolumeDrive drive{letter++, mount->MountPoint, DriveTypeOf(*mount, sources), LabelOf(*mount, sources),
                           CaseFlags(mount->Type), {}};
        if (drive.DriveType == kDriveRemote) drive.RemoteName = mount->Source;
        drives.push_back(std::move(drive));
    }
    drives.push_back(FixedDrive('Z', "/", mounts, sources));
    return drives;
}

}  // namespace quorvane::platform::posix
