#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::platform {

// Kinds of drive, with the values Windows reports for a drive's root.
enum DriveType : std::uint32_t {
    kDriveUnknown = 0,
    kDriveNoRootDir = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
    kDriveRamDisk = 6,
};

// File-system flags of a volume, with the values Windows uses.
enum FileSystemFlag : std::uint32_t {
    kCaseSensitiveSearch = 0x01,
    kCasePreservedNames = 0x02,
};

// The error mode that makes critical errors (a drive without a medium) fail
// at once instead of asking the user.
constexpr std::uint32_t kFailCriticalErrors = 0x0001;

// Codes of the network connection query, with the values Windows uses.
enum ConnectionError : std::uint32_t {
    kErrorBadDevice = 1200,
    kErrorNotConnected = 2250,
};

struct VolumeInformation {
    std::string Label;               // empty when the volume has none
    std::uint32_t FileSystemFlags = 0;
};

// The drives of the machine and their volumes, in the drive-letter name
// space of the file-system service. Roots are written "c:\" or "C:\".
class Volumes {
public:
    virtual ~Volumes() = default;

    // Bit i is set when drive A + i exists.
    virtual std::uint32_t LogicalDrives() = 0;

    // The kind of the drive whose root is `root`; kDriveNoRootDir for a drive
    // that does not exist.
    virtual std::uint32_t GetDriveType(std::string_view root) = 0;

    // Label and flags of the volume at `root`; false when the volume cannot be
    // read (no medium, drive gone).
    virtual bool GetVolumeInformation(std::string_view root, VolumeInformation& information) = 0;

    // The network name (//server/musik) connected to the local name "F:";
    // 0, or kErrorNotConnected for a drive that is no network drive and
    // kErrorBadDevice for a name that is no drive.
    virtual std::uint32_t GetConnection(std::string_view localName, std::string& remoteName) = 0;

    // Sets the error mode for critical errors and returns the previous one.
    // Systems that never ask the user on such errors keep the value only.
    virtual std::uint32_t SetErrorMode(std::uint32_t mode) = 0;
};

// The volume service of this system, or the one a test put in its place.
Volumes& HostVolumes();

// The real backend of this operating system.
Volumes& NativeVolumes();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
Volumes* ReplaceHostVolumes(Volumes* replacement);

}  // namespace quorvane::platform
