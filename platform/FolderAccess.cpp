#include "platform/FileSystem.h"

#include "runtime/FolderPath.h"

namespace quorvane::platform {

namespace {

// A folder named by its full path, for systems whose backend offers nothing
// better: each look and each rename names the folder again.
class TPathIdentifiedFolder final : public IdentifiedFolder {
public:
    TPathIdentifiedFolder(FileSystem& fileSystem, std::string folderPath, EntryStamp stamp)
        : m_fileSystem(fileSystem), m_path(std::move(folderPath)), m_stamp(stamp)
    {
    }

    const std::string& Location() const override { return m_path; }
    const EntryStamp& Stamp() const override { return m_stamp; }

    EntryStamp StampOf(std::string_view name) override
    {
        if (name.empty() || name.find_first_of("\\/") != std::string_view::npos) return {};
        return m_fileSystem.GetEntryStamp(m_path + std::string(name));
    }

    std::uint32_t MoveFileIfSame(std::string_view name, std::string_view newName, const EntryStamp& expected) override
    {
        if (!SameEntry(expected, StampOf(name))) return kErrorFileNotFound;
        if (newName.empty() || newName.find_first_of("\\/") != std::string_view::npos) return kErrorInvalidName;
        return m_fileSystem.MoveFile(m_path + std::string(name), m_path + std::string(newName));
    }

private:
    FileSystem& m_fileSystem;
    std::string m_path;  // ends with a backslash
    EntryStamp m_stamp;
};

}  // namespace

bool SameEntry(const EntryStamp& recorded, const EntryStamp& now)
{
    if (recorded.Type == EntryStamp::Kind::None || recorded.Type != now.Type) return false;
    if (recorded.Volume != now.Volume || recorded.File != now.File) return false;
    // A file system either keeps birth times or does not; a stamp with one
    // and one without come from different file systems or a confused one.
    if (recorded.HasBirth != now.HasBirth) return false;
    if (recorded.HasBirth) return recorded.Birth == now.Birth;
    // A folder's change time moves with every entry added, removed or
    // renamed in it, the undo's own renames included, so only its number
    // can speak for it; its files are each checked on their own.
    if (recorded.Type == EntryStamp::Kind::Folder) return true;
    return recorded.Changed == now.Changed && recorded.Size == now.Size;
}

// Volume and number are what every backend offers through the general
// calls; a backend that knows more says so in its own GetEntryStamp.
EntryStamp FileSystem::GetEntryStamp(std::string_view path)
{
    FileIdentity identity;
    std::uint32_t attributes = 0;
    if (!GetFileIdentity(path, identity) || !GetFileAttributes(path, attributes)) return {};
    EntryStamp stamp;
    stamp.Type = (attributes & faDirectory) != 0 ? EntryStamp::Kind::Folder : EntryStamp::Kind::File;
    stamp.Volume = identity.Volume;
    stamp.File = identity.File;
    return stamp;
}

std::unique_ptr<IdentifiedFolder> FileSystem::OpenIdentifiedFolder(std::string_view folderPath)
{
    if (folderPath.empty()) return nullptr;
    std::string path = WithTrailingBackslash(folderPath);
    // A drive's root keeps its backslash ("C:\"); any other folder is named
    // without one.
    const bool root = path.size() == 3 && path[1] == ':';
    const std::string_view named = root ? std::string_view(path) : std::string_view(path).substr(0, path.size() - 1);
    const EntryStamp stamp = GetEntryStamp(named);
    if (stamp.Type != EntryStamp::Kind::Folder) return nullptr;
    return std::make_unique<TPathIdentifiedFolder>(*this, std::move(path), stamp);
}

std::unique_ptr<IdentifiedFolder> FileSystem::ReopenIdentifiedFolder(std::string_view location)
{
    return OpenIdentifiedFolder(location);
}

}  // namespace quorvane::platform
