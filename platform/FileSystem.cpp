#include "platform/FileSystem.h"

#include "platform/HostSlot.h"
#include "runtime/FolderPath.h"

namespace quorvane::platform {

namespace {

HostSlot<FileSystem> g_fileSystem;

// Renames by the full names, for systems that offer nothing better.
class TPathFolder final : public FolderHandle {
public:
    TPathFolder(FileSystem& fileSystem, std::string_view folderPath)
        : m_fileSystem(fileSystem), m_path(WithTrailingBackslash(folderPath))
    {
    }

    std::uint32_t MoveFile(std::string_view oldName, std::string_view newName) override
    {
        return m_fileSystem.MoveFile(m_path + std::string(oldName), m_path + std::string(newName));
    }

private:
    FileSystem& m_fileSystem;
    std::string m_path;
};

}  // namespace

FileSystem& HostFileSystem() { return g_fileSystem.Get(NativeFileSystem()); }
FileSystem* ReplaceHostFileSystem(FileSystem* replacement) { return g_fileSystem.Replace(replacement); }

std::unique_ptr<FolderHandle> FileSystem::OpenFolder(std::string_view folderPath)
{
    return std::make_unique<TPathFolder>(*this, folderPath);
}

bool FileSystem::FileExists(std::string_view path)
{
    std::uint32_t attributes = 0;
    return GetFileAttributes(path, attributes) && (attributes & faDirectory) == 0;
}

}  // namespace quorvane::platform
