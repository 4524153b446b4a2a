#include "tests/support/FakeVolumes.h"

#include <utility>

namespace quorvane::testing {

namespace {
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

void FakeVolumes::SetDrive(char letter, TFakeDrive drive) { m_drives[Upper(letter)] = std::move(drive); }

const TFakeDrive* FakeVolumes::Find(std::string_view name, std::string_view tail) const
{
    if (name.size() != 2 + tail.size() || name[1] != ':' || name.substr(2) != tail) return nullptr;
    const auto found = m_drives.find(Upper(name[0]));
    return found != m_drives.end() ? &found->second : nullptr;
}

std::uint32_t FakeVolumes::LogicalDrives()
{
    std::uint32_t mask = 0;
    for (const auto& [letter, drive] : m_drives) mask |= 1u << (letter - 'A');
    return mask;
}

std::uint32_t FakeVolumes::GetDriveType(std::string_view root)
{
    const TFakeDrive* drive = Find(root, "\\");
    return drive != nullptr ? drive->Type : platform::kDriveNoRootDir;
}

bool FakeVolumes::GetVolumeInformation(std::string_view root, platform::VolumeInformation& information)
{
    m_queriedRoots.emplace_back(root);
    m_errorModesAtQueries.push_back(m_errorMode);
    const TFakeDrive* drive = Find(root, "\\");
    if (drive == nullptr || !drive->Readable) return false;
    information.Label = drive->Label;
    information.FileSystemFlags = drive->FileSystemFlags;
    return true;
}

std::uint32_t FakeVolumes::GetConnection(std::string_view localName, std::string& remoteName)
{
    const TFakeDrive* drive = Find(localName, "");
    if (drive == nullptr) return platform::kErrorBadDevice;
    if (drive->RemoteName.empty()) return platform::kErrorNotConnected;
    remoteName = drive->RemoteName;
    return 0;
}

std::uint32_t FakeVolumes::SetErrorMode(std::uint32_t mode) { return std::exchange(m_errorMode, mode); }

}  // namespace quorvane::testing
