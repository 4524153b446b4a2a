#include "platform/FileSystem.h"

#include "platform/HostSlot.h"

namespace quorvane::platform {

namespace {
HostSlot<FileSystem> g_fileSystem;
}

FileSystem& HostFileSystem() { return g_fileSystem.Get(NativeFileSystem()); }
FileSystem* ReplaceHostFileSystem(FileSystem* replacement) { return g_fileSystem.Replace(replacement); }

bool FileSystem::FileExists(std::string_view path)
{
    std::uint32_t attributes = 0;
    return GetFileAttributes(path, attributes) && (attributes & faDirectory) == 0;
}

}  // namespace quorvane::platform
