#pragma once

#include "tests/support/TempFolder.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing {

// The file systems music collections live on, as Linux reaches them: FAT and
// exFAT sticks and NTFS drives through FUSE, and network shares, for which
// stands our own pass-through file system (tests/support/fuse) that refuses
// the no-replace rename like NFS, and in a second mode hard links as well,
// like SMB.
enum class RealFileSystemKind { Fat, ExFat, Ntfs, NoReplaceRefused, NoReplaceNorLinks };

// Every kind, for tests that run once per file system.
std::vector<RealFileSystemKind> AllRealFileSystems();

// A short name for test names and messages: "FAT", "exFAT", "NTFS",
// "NfsLike", "SmbLike".
std::string_view NameOf(RealFileSystemKind kind);

// So that test output names the file system rather than its bytes.
inline void PrintTo(RealFileSystemKind kind, std::ostream* out) { *out << NameOf(kind); }

// A fresh, empty file system of one kind, mounted on a folder of its own below
// the system's temporary folder, and unmounted (with its image and loop
// device let go) when the object goes, also when the test failed. It is
// skipped, with the reason, only where the machine cannot have it: no
// /dev/fuse, a tool missing, or no loop device for one that needs a block
// device; any other failure to mount is a failure.
class MountedFileSystem {
public:
    enum class State { Mounted, Skipped, Failed };

    explicit MountedFileSystem(RealFileSystemKind kind);
    ~MountedFileSystem();

    MountedFileSystem(const MountedFileSystem&) = delete;
    MountedFileSystem& operator=(const MountedFileSystem&) = delete;

    RealFileSystemKind Kind() const { return m_kind; }
    State Status() const { return m_state; }
    // Why it was skipped or failed, for the test output.
    const std::string& Reason() const { return m_reason; }

    // The mount point; and the same as the program's file-system service
    // names it (Z:\tmp\...).
    const std::filesystem::path& Path() const { return m_mountPoint; }
    std::string Name() const;

    // The type /proc/self/mounts gives the mount: "fuse.fusefat", "fuseblk"
    // (exFAT, and NTFS on a loop device), "fuse" (NTFS on an image file),
    // "fuse.quorvane-passthrough-fs".
    std::string MountType() const;

private:
    // Runs a shell command with its output added to a log, whose last line
    // explains a failure.
    bool Run(const std::string& command);
    std::filesystem::path Log() const;
    void Skip(std::string reason);
    void Fail(std::string reason);
    void Mount();

    RealFileSystemKind m_kind;
    State m_state = State::Failed;
    std::string m_reason;
    TempFolder m_temp;
    std::filesystem::path m_mountPoint;
    std::string m_loopDevice;
    bool m_mounted = false;
};

}  // namespace quorvane::testing
