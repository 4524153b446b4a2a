#pragma once

#include "platform/Volumes.h"
#include "platform/posix/MountTable.h"

#include <mutex>
#include <vector>

namespace quorvane::platform::posix {

// The volumes of a Linux machine: the home folder as C:, / as Z:, and the
// mounted volumes a user would call drives from D:. The mount table is read
// once, at the first question, and its volumes get their letters in the
// drive-letter name space then; the letters stay for the life of the
// process, so a folder name never comes to mean another volume's folder.
class TPosixVolumes final : public Volumes {
public:
    explicit TPosixVolumes(TVolumeSources sources = {});

    std::uint32_t LogicalDrives() override;
    std::uint32_t GetDriveType(std::string_view root) override;
    bool GetVolumeInformation(std::string_view root, VolumeInformation& information) override;
    std::uint32_t GetConnection(std::string_view localName, std::string& remoteName) override;
    std::uint32_t SetErrorMode(std::uint32_t mode) override;

private:
    const std::vector<TVolumeDrive>& ScannedDrives();
    const TVolumeDrive* DriveOf(std::string_view name, bool wantsRoot);

    TVolumeSources m_sources;
    std::once_flag m_scanned;
    std::vector<TVolumeDrive> m_drives;
    std::uint32_t m_errorMode = 0;
};

}  // namespace quorvane::platform::posix
