#include "platform/posix/PosixVolumes.h"

#include "platform/posix/DriveNameSpace.h"
#include "runtime/AsciiCase.h"

#include <utility>

#include <sys/stat.h>

namespace quorvane::platform::posix {

namespace {

std::string HomeRoot()
{
    for (const TDriveRoot& drive : Drives()) {
        if (drive.Letter == 'C') return drive.UnixRoot;
    }
    return "/";
}

}  // namespace

TPosixVolumes::TPosixVolumes(TVolumeSources sources) : m_sources(std::move(sources)) {}

const std::vector<TVolumeDrive>& TPosixVolumes::ScannedDrives()
{
    std::call_once(m_scanned, [this] {
        m_drives = VolumeDrives(ReadMountTable(m_sources.MountTable), HomeRoot(), m_sources);
        std::vector<TDriveRoot> volumes;
        for (const TVolumeDrive& drive : m_drives) {
            if (drive.Letter != 'C' && drive.Letter != 'Z') volumes.push_back({drive.Letter, drive.UnixRoot});
        }
        RebuildDrives(volumes);
    });
    return m_drives;
}

// `name` is "D:\" for a root or "D:" for a local name.
const TVolumeDrive* TPosixVolumes::DriveOf(std::string_view name, bool wantsRoot)
{
    const std::string_view tail = wantsRoot ? "\\" : "";
    if (name.size() != 2 + tail.size() || name[1] != ':' || name.substr(2) != tail) return nullptr;
    const char letter = AsciiUpper(name[0]);
    for (const TVolumeDrive& drive : ScannedDrives()) {
        if (drive.Letter == letter) return &drive;
    }
    return nullptr;
}

std::uint32_t TPosixVolumes::LogicalDrives()
{
    std::uint32_t mask = 0;
    for (const TVolumeDrive& drive : ScannedDrives()) mask |= 1u << (drive.Letter - 'A');
    return mask;
}

std::uint32_t TPosixVolumes::GetDriveType(std::string_view root)
{
    const TVolumeDrive* drive = DriveOf(root, true);
    return drive != nullptr ? drive->DriveType : kDriveNoRootDir;
}

bool TPosixVolumes::GetVolumeInformation(std::string_view root, VolumeInformation& information)
{
    const TVolumeDrive* drive = DriveOf(root, true);
    if (drive == nullptr) return false;
    // A volume taken out leaves its mount point behind or takes it along;
    // either way nothing can be read from it now.
    struct stat info {};
    if (::stat(drive->UnixRoot.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    information.Label = drive->Label;
    information.FileSystemFlags = drive->FileSystemFlags;
    return true;
}

std::uint32_t TPosixVolumes::GetConnection(std::string_view localName, std::string& remoteName)
{
    const TVolumeDrive* drive = DriveOf(localName, false);
    if (drive == nullptr) return kErrorBadDevice;
    if (drive->RemoteName.empty()) return kErrorNotConnected;
    remoteName = drive->RemoteName;
    return 0;
}

std::uint32_t TPosixVolumes::SetErrorMode(std::uint32_t mode) { return std::exchange(m_errorMode, mode); }

}  // namespace quorvane::platform::posix

namespace quorvane::platform {

Volumes& NativeVolumes()
{
    static posix::TPosixVolumes volumes;
    return volumes;
}

}  // namespace quorvane::platform
