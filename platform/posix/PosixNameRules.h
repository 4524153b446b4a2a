#pragma once

#include "platform/FileSystem.h"

#include <memory>
#include <string>
#include <string_view>

// What the file system of a folder allows its names, on Linux, where one
// tree holds volumes of every kind: the native ones that tell case apart and
// take any byte but "/", and the Windows ones (FAT, exFAT, NTFS, shares of
// Windows servers), mounted by the kernel or through FUSE, that refuse
// Windows's forbidden characters and mostly ignore case.
namespace quorvane::platform::posix {

// The families of file systems whose names follow the same rules.
enum class TNameFamily {
    Native,        // ext4, btrfs, tmpfs, NFS and the rest: any byte but "/"
    Fat,           // FAT in the kernel: Windows names, letters A to Z in either case
    FuseFat,       // FAT through FUSE: the same, and no character beyond ASCII
    WindowsNames,  // exFAT, NTFS, shares of Windows servers
};

// The family of a file system, by its magic number (statfs) and, for FUSE
// file systems, whose magic number says nothing, by the type the mount table
// gives it ("fuseblk", "fuse.fusefat").
TNameFamily NameFamily(unsigned long magic, std::string_view mountType);

// The rules of the folder at the Unix path `unixFolder`.
FolderNameRules FolderNameRulesOf(const std::string& unixFolder);

// The key of FileSystem::NameKey, with the case of every Unicode letter folded.
void PosixNameKey(std::string_view name, NameCase nameCase, std::string& key);

// The entries of the folder at `unixFolder` for FileSystem::OpenFolderEntries.
std::unique_ptr<FolderEntries> OpenPosixFolderEntries(const std::string& unixFolder);

}  // namespace quorvane::platform::posix
