#include "platform/FileSystem.h"

#include "platform/HostSlot.h"
#include "runtime/AsciiCase.h"
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

constexpr char kWindowsForbidden[] = "\\/:*?\"<>|"
                                    "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F"
                                    "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F";
const std::string_view kWindowsForbiddenCharacters(kWindowsForbidden, sizeof kWindowsForbidden - 1);

FileSystem& HostFileSystem() { return g_fileSystem.Get(NativeFileSystem()); }
FileSystem* ReplaceHostFileSystem(FileSystem* replacement) { return g_fileSystem.Replace(replacement); }

std::unique_ptr<FolderHandle> FileSystem::OpenFolder(std::string_view folderPath)
{
    return std::make_unique<TPathFolder>(*this, folderPath);
}

void FileSystem::NameKey(std::string_view name, NameCase nameCase, std::string& key) const
{
    key.assign(name);
    if (nameCase != NameCase::Exact) MakeAsciiUpper(key);
}

bool FileSystem::FileExists(std::string_view path)
{
    std::uint32_t attributes = 0;
    return GetFileAttributes(path, attributes) && (attributes & faDirectory) == 0;
}

}  // namespace quorvane::platform
