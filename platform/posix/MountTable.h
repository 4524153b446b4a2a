#pragma once

#include "platform/posix/DriveNameSpace.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The volumes of the mount table as drives of the drive-letter name space.
namespace quorvane::platform::posix {

// Where the scan reads the system's state; tests point it at prepared files.
struct TVolumeSources {
    std::string MountTable = "/proc/self/mounts";
    std::string ByLabelFolder = "/dev/disk/by-label";
    std::string ByUuidFolder = "/dev/disk/by-uuid";
    std::string SysBlockFolder = "/sys/class/block";
};

// One line of the mount table, its escapes (\040 for a blank) decoded.
struct TMountEntry {
    std::string Source;      // "/dev/sdb1", "//server/musik"
    std::string MountPoint;  // "/media/anna/STICK"
    std::string Type;        // "vfat"
};

// A drive with what the volume service reports about it.
struct TVolumeDrive {
    char Letter = 0;
    std::string UnixRoot;
    std::uint32_t DriveType = 0;
    std::string Label;
    std::uint32_t FileSystemFlags = 0;
    std::string RemoteName;  // the mount source of a network drive, else empty
};

std::vector<TMountEntry> ReadMountTable(const std::string& path);

// Whether a user would call the mount a drive of its own: mounts at or below
// /media, /run/media and /mnt, and network file systems wherever they are.
bool IsUserVolume(const TMountEntry& mount);

bool IsNetworkFileSystem(std::string_view type);

// The case flags by the file system's type: the Windows file systems and
// network shares to Windows ignore case but keep it, the native ones are
// case-sensitive.
std::uint32_t CaseFlags(std::string_view type);

// The mount that holds `unixPath`: the last one in the table with the
// longest mount point above it (later mounts cover earlier ones).
const TMountEntry* MountHolding(const std::vector<TMountEntry>& mounts, const std::string& unixPath);

// The drives of a scan: C: for `homeRoot` and Z: for /, both fixed and
// without a label, and the user volumes of `mounts` in table order from D:
// to Y: (a mount point mounted twice counts once, with its last mount). A
// volume's label is its file system's, or else the name of the folder a
// desktop mounted it at (/media/anna/STICK), unless that is its UUID.
std::vector<TVolumeDrive> VolumeDrives(const std::vector<TMountEntry>& mounts, const std::string& homeRoot,
                                       const TVolumeSources& sources);

}  // namespace quorvane::platform::posix
