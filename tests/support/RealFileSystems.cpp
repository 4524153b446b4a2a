#include "tests/support/RealFileSystems.h"

#include "platform/posix/DriveNameSpace.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/mount.h>
#include <unistd.h>

namespace quorvane::testing {

namespace {

// Mounting tools live in /sbin, which a user's PATH often lacks.
const char* const kPath = "PATH=\"$PATH:/usr/sbin:/sbin\" ";

bool HasTool(const std::string& tool)
{
    return std::system((kPath + std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string LastLine(const std::filesystem::path& log)
{
    std::string text = FileContent(log);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const std::size_t start = text.rfind('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
}

struct TTools {
    std::vector<std::string> Needed;
    const char* Package;
};

TTools ToolsOf(RealFileSystemKind kind)
{
    switch (kind) {
    case RealFileSystemKind::Fat:
        return {{"mkfs.vfat", "fusefat"}, "dosfstools, fusefat"};
    case RealFileSystemKind::ExFat:
        return {{"mkfs.exfat", "mount.exfat-fuse", "losetup"}, "exfatprogs, exfat-fuse"};
    case RealFileSystemKind::Ntfs:
        return {{"mkntfs", "ntfs-3g"}, "ntfs-3g"};
    case RealFileSystemKind::NoReplaceRefused:
    case RealFileSystemKind::NoReplaceNorLinks:
        return {{"fusermount3"}, "fuse3"};
    }
    return {};
}

}  // namespace

std::vector<RealFileSystemKind> AllRealFileSystems()
{
    return {RealFileSystemKind::Fat, RealFileSystemKind::ExFat, RealFileSystemKind::Ntfs,
            RealFileSystemKind::NoReplaceRefused, RealFileSystemKind::NoReplaceNorLinks};
}

std::string_view NameOf(RealFileSystemKind kind)
{
    switch (kind) {
    case RealFileSystemKind::Fat:
        return "FAT";
    case RealFileSystemKind::ExFat:
        return "exFAT";
    case RealFileSystemKind::Ntfs:
        return "NTFS";
    case RealFileSystemKind::NoReplaceRefused:
        return "NfsLike";
    case RealFileSystemKind::NoReplaceNorLinks:
        return "SmbLike";
    }
    return "?";
}

MountedFileSystem::MountedFileSystem(RealFileSystemKind kind) : m_kind(kind)
{
    m_mountPoint = m_temp.CreateFolder("mount");
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        Skip("/dev/fuse is missing or closed to this user");
        return;
    }
    const TTools tools = ToolsOf(kind);
    for (const std::string& tool : tools.Needed) {
        if (!HasTool(tool)) {
            Skip(tool + " is not installed (Debian packages " + tools.Package + "; scripts/setup installs them)");
            return;
        }
    }
    const bool passThrough =
        kind == RealFileSystemKind::NoReplaceRefused || kind == RealFileSystemKind::NoReplaceNorLinks;
    if (passThrough && std::string_view(QUORVANE_PASSTHROUGH_FS).empty()) {
        Skip("the tests were built without libfuse3-dev, so without the pass-through file system");
        return;
    }
    Mount();
}

void MountedFileSystem::Mount()
{
    const std::string image = (m_temp.Path() / "volume.img").string();
    const std::string mountPoint = m_mountPoint.string();
    // FAT32 and exFAT as sticks come formatted, NTFS as a drive would be;
    // the images are sparse, so their size costs nothing.
    const bool blockDevice = m_kind == RealFileSystemKind::ExFat || m_kind == RealFileSystemKind::Ntfs;
    switch (m_kind) {
    case RealFileSystemKind::Fat:
        if (!Run("mkfs.vfat -F 32 -C " + image + " 65536")) return;
        break;
    case RealFileSystemKind::ExFat:
        if (!Run("truncate -s 64M " + image + " && mkfs.exfat " + image)) return;
        break;
    case RealFileSystemKind::Ntfs:
        if (!Run("truncate -s 64M " + image + " && mkntfs -F -Q -q " + image)) return;
        break;
    case RealFileSystemKind::NoReplaceRefused:
    case RealFileSystemKind::NoReplaceNorLinks:
        break;
    }
    std::string device = image;
    if (blockDevice) {
        // exfat-fuse run by the superuser insists on a block device; NTFS
        // drives show up as one too ("fuseblk"), so NTFS takes a loop device
        // where there is one and its image file otherwise.
        if (Run("losetup --find --show " + image)) {
            m_loopDevice = LastLine(Log());
            device = m_loopDevice;
        } else if (m_kind == RealFileSystemKind::ExFat) {
            Skip("exfat-fuse needs a block device, and no loop device can be had here: " + LastLine(Log()));
            return;
        }
    }
    bool mounted = false;
    switch (m_kind) {
    case RealFileSystemKind::Fat:
        mounted = Run("fusefat -o rw+ " + device + " " + mountPoint);
        break;
    case RealFileSystemKind::ExFat:
        mounted = Run("mount.exfat-fuse " + device + " " + mountPoint);
        break;
    case RealFileSystemKind::Ntfs:
        // As desktops mount NTFS drives: names Windows could not open are refused.
        mounted = Run("ntfs-3g -o windows_names " + device + " " + mountPoint);
        break;
    case RealFileSystemKind::NoReplaceRefused:
    case RealFileSystemKind::NoReplaceNorLinks: {
        const std::string source = m_temp.CreateFolder("source").string();
        const std::string mode = m_kind == RealFileSystemKind::NoReplaceNorLinks ? "--no-links " : "";
        mounted = Run(std::string(QUORVANE_PASSTHROUGH_FS) + " " + mode + source + " " + mountPoint);
        break;
    }
    }
    if (!mounted) return;
    m_mounted = true;
    if (MountType().empty()) {
        Fail("the mount command succeeded, but /proc/self/mounts has no " + mountPoint);
        return;
    }
    m_state = State::Mounted;
    m_reason.clear();
}

MountedFileSystem::~MountedFileSystem()
{
    if (m_mounted) {
        const std::string mountPoint = m_mountPoint.string();
        // The superuser unmounts directly; a user asks FUSE's helper. A mount
        // still busy (a test that failed with a file open) goes lazily.
        if (::geteuid() == 0) {
            if (::umount2(mountPoint.c_str(), 0) != 0) ::umount2(mountPoint.c_str(), MNT_DETACH);
        } else if (!Run("fusermount3 -u " + mountPoint) && !Run("fusermount -u " + mountPoint)) {
            Run("fusermount3 -u -z " + mountPoint);
        }
    }
    if (!m_loopDevice.empty()) Run("losetup -d " + m_loopDevice);
}

std::filesystem::path MountedFileSystem::Log() const { return m_temp.Path() / "command.log"; }

std::string MountedFileSystem::Name() const
{
    return platform::posix::FromUnixPath(m_mountPoint.string()).value_or(std::string());
}

std::string MountedFileSystem::MountType() const
{
    std::ifstream mounts("/proc/self/mounts");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string source;
        std::string point;
        std::string type;
        fields >> source >> point >> type;
        if (point == m_mountPoint.string()) return type;
    }
    return {};
}

bool MountedFileSystem::Run(const std::string& command)
{
        if (std::system((kPath + command + " >>" + Log().string() + " 2>&1").c_str()) == 0) return true;
    Fail("'" + command + "' failed: " + LastLine(Log()));
    return false;
}

void MountedFileSystem::Skip(std::string reason)
{
    m_state = State::Skipped;
    m_reason = std::string(NameOf(m_kind)) + " skipped: " + std::move(reason);
}

void MountedFileSystem::Fail(std::string reason)
{
    m_state = State::Failed;
    m_reason = std::string(NameOf(m_kind)) + ": " + std::move(reason);
}

}  // namespace quorvane::testing
