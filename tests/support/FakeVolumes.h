#pragma once

#include "platform/Volumes.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quorvane::testing {

// One drive of the fake machine.
struct TFakeDrive {
    std::uint32_t Type = platform::kDriveFixed;
    std::string Label;
    std::uint32_t FileSystemFlags = platform::kCasePreservedNames | platform::kCaseSensitiveSearch;
    bool Readable = true;        // false: no medium, the volume query fails
    std::string RemoteName;      // empty: no network connection
};

// A readable drive of `type` with `label` and the flags of a native volume.
inline TFakeDrive FakeDrive(std::uint32_t type, std::string label = {})
{
    TFakeDrive drive;
    drive.Type = type;
    drive.Label = std::move(label);
    return drive;
}

// A machine with the drives a test describes; it remembers every change of
// the error mode and which roots the volume query was asked about.
class FakeVolumes final : public platform::Volumes {
public:
    // Adds or replaces drive `letter` (either case).
    void SetDrive(char letter, TFakeDrive drive);

    std::uint32_t ErrorMode() const { return m_errorMode; }
    // The error mode in force at each volume query.
    const std::vector<std::uint32_t>& ErrorModesAtQueries() const { return m_errorModesAtQueries; }
    const std::vector<std::string>& QueriedRoots() const { return m_queriedRoots; }

    std::uint32_t LogicalDrives() override;
    std::uint32_t GetDriveType(std::string_view root) override;
    bool GetVolumeInformation(std::string_view root, platform::VolumeInformation& information) override;
    std::uint32_t GetConnection(std::string_view localName, std::string& remoteName) override;
    std::uint32_t SetErrorMode(std::uint32_t mode) override;

private:
    const TFakeDrive* Find(std::string_view name, std::string_view tail) const;

    std::map<char, TFakeDrive> m_drives;
    std::uint32_t m_errorMode = 0;
    std::vector<std::uint32_t> m_errorModesAtQueries;
    std::vector<std::string> m_queriedRoots;
};

}  // namespace quorvane::testing
