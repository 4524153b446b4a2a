#include "tests/support/FakeFileSystem.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quorvane::testing {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool HasDrive(std::string_view path)
{
    return path.size() >= 2 && path[1] == ':' && UpperAscii(path[0]) >= 'A' && UpperAscii(path[0]) <= 'Z';
}

// The length of the character starting at `index`: a UTF-8 lead byte with its
// continuation bytes, or one byte for anything else.
std::size_t CharLength(std::string_view text, std::size_t index)
{
    std::size_t length = 1;
    if (static_cast<unsigned char>(text[index]) < 0xC0) return length;
    while (length < 4 && index + length < text.size() &&
           (static_cast<unsigned char>(text[index + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

std::string Canonical(char drive, const std::vector<std::string>& components, std::size_t count)
{
    std::string path{drive, ':', '\\'};
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) path += '\\';
        path += components[i];
    }
    return path;
}

void Require(std::uint32_t error, std::string_view path)
{
    if (error != platform::kErrorSuccess) {
        throw std::invalid_argument("FakeFileSystem cannot add " + std::string(path));
    }
}

// Whether a file system with `rules` takes `name` at all, checked here on
// its own rather than with the engine's check, so that tests find where the
// two part.
bool IsNameTaken(std::string_view name, const platform::FolderNameRules& rules)
{
    for (const char c : name) {
        if (rules.ForbiddenCharacters.find(c) != std::string_view::npos) return false;
        if (rules.AsciiOnly && static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return !(rules.RefusesTrailingDotOrBlank && !name.empty() && (name.back() == '.' || name.back() == ' '));
}

}  // namespace

bool FakeMaskMatches(std::string_view mask, std::string_view name)
{
    if (mask == "*.*") return true;
    // Greedy matching with one back-track point: the last star seen.
    std::size_t m = 0;
    std::size_t n = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n += CharLength(name, n);
        } else if (m < mask.size() && LowerAscii(mask[m]) == LowerAscii(name[n])) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            starName += CharLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

class FakeFileSystem::Enumeration final : public platform::FindHandle {
public:
    Enumeration(FakeFileSystem& owner, std::string folder, std::string mask)
        : m_owner(owner), m_folder(std::move(folder)), m_mask(std::move(mask))
    {
        ++m_owner.m_openEnumerations;
        // A drive root has no entries for itself and its parent.
        m_dotEntries = m_folder.size() > 3 ? 0 : 2;
    }
    ~Enumeration() override { --m_owner.m_openEnumerations; }

    bool Next(platform::FindEntry& entry) override
    {
        if (m_owner.m_enumerationLimit && m_delivered >= *m_owner.m_enumerationLimit) return false;
        if (!Advance(entry)) return false;
        ++m_delivered;
        return true;
    }

private:
    bool Advance(platform::FindEntry& entry)
    {
        while (m_dotEntries < 2) {
            const char* name = m_dotEntries++ == 0 ? "." : "..";
            if (FakeMaskMatches(m_mask, name)) {
                entry.Name = name;
                entry.Attributes = platform::faDirectory;
                return true;
            }
        }
        const Folder* folder = m_owner.FindFolder(m_folder);
        if (folder == nullptr) return false;
        for (auto it = folder->Order.upper_bound(m_lastSequence); it != folder->Order.end(); ++it) {
            m_lastSequence = it->first;
            if (!FakeMaskMatches(m_mask, it->second)) continue;
            entry.Name = it->second;
            entry.Attributes = folder->Entries.at(it->second).Attributes;
            return true;
        }
        return false;
    }

    FakeFileSystem& m_owner;
    std::string m_folder;
    std::string m_mask;
    int m_dotEntries = 0;
    std::uint64_t m_lastSequence = 0;
    std::size_t m_delivered = 0;
};

FakeFileSystem::FakeFileSystem() = default;
FakeFileSystem::~FakeFileSystem() = default;

std::optional<FakeFileSystem::Resolved> FakeFileSystem::Resolve(std::string_view path, std::uint32_t& error) const
{
    char letter = m_currentDrive;
    if (HasDrive(path)) {
        letter = UpperAscii(path[0]);
        path.remove_prefix(2);
    }
    const auto drive = m_drives.find(letter);
    if (drive == m_drives.end()) {
        error = platform::kErrorInvalidDrive;
        return std::nullopt;
    }
    if (!drive->second.Ready) {
        error = platform::kErrorNotReady;
        return std::nullopt;
    }

    std::vector<std::string> components;
    auto append = [&components](std::string_view text) {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = start;
            while (end < text.size() && !IsSeparator(text[end])) ++end;
            const std::string_view component = text.substr(start, end - start);
            if (component == "..") {
                if (!components.empty()) components.pop_back();
            } else if (!component.empty() && component != ".") {
                components.emplace_back(component);
            }
            start = end + 1;
        }
    };
    if (path.empty() || !IsSeparator(path.front())) append(std::string_view(drive->second.CurrentFolder).substr(3));
    append(path);

    Resolved resolved;
    resolved.Path = Canonical(letter, components, components.size());
    if (!components.empty()) {
        resolved.Parent = Canonical(letter, components, components.size() - 1);
        resolved.Name = components.back();
    }
    error = platform::kErrorSuccess;
    return resolved;
}

FakeFileSystem::Folder* FakeFileSystem::FindFolder(const std::string& path)
{
    const auto it = m_folders.find(path);
    return it == m_folders.end() ? nullptr : &it->second;
}

const FakeFileSystem::Folder* FakeFileSystem::FindFolder(const std::string& path) const
{
    const auto it = m_folders.find(path);
    return it == m_folders.end() ? nullptr : &it->second;
}

const std::string* FakeFileSystem::StoredName(const Folder& folder, const std::string& name) const
{
    const auto exact = folder.Entries.find(name);
    if (exact != folder.Entries.end()) return &exact->first;
    if (m_nameRules.Case == platform::NameCase::Exact) return nullptr;
    std::string key;
    NameKey(name, m_nameRules.Case, key);
    std::string other;
    for (const auto& [stored, entry] : folder.Entries) {
        NameKey(stored, m_nameRules.Case, other);
        if (other == key) return &stored;
    }
    return nullptr;
}

const FakeFileSystem::Entry* FakeFileSystem::FindEntry(const Resolved& resolved) const
{
    const Folder* parent = FindFolder(resolved.Parent);
    if (parent == nullptr) return nullptr;
    const std::string* stored = StoredName(*parent, resolved.Name);
    return stored == nullptr ? nullptr : &parent->Entries.at(*stored);
}

bool FakeFileSystem::IsLocked(const Resolved& resolved) const
{
    const Folder* parent = FindFolder(resolved.Parent);
    const std::string* stored = parent == nullptr ? nullptr : StoredName(*parent, resolved.Name);
    if (stored == nullptr) return false;
    const std::string path = resolved.Parent + (resolved.Parent.size() > 3 ? "\\" : "") + *stored;
    return std::find(m_locked.begin(), m_locked.end(), path) != m_locked.end();
}

void FakeFileSystem::LockFile(std::string_view path)
{
    std::uint32_t error = 0;
    const std::optional<Resolved> resolved = Resolve(path, error);
    Require(error, path);
    const Folder* parent = FindFolder(resolved->Parent);
    const std::string* stored = parent == nullptr ? nullptr : StoredName(*parent, resolved->Name);
    if (stored == nullptr) throw std::invalid_argument("FakeFileSystem cannot lock " + std::string(path));
    m_locked.push_back(resolved->Parent + (resolved->Parent.size() > 3 ? "\\" : "") + *stored);
}

class FakeFileSystem::Entries final : public platform::FolderEntries {
public:
    Entries(FakeFileSystem& owner, std::string folder) : m_owner(owner), m_folder(std::move(folder)) {}

    bool MayRename(std::string_view name) override
    {
        ++m_owner.m_entryQuestions;
        std::uint32_t error = 0;
        const std::optional<Resolved> resolved = m_owner.Resolve(m_folder + std::string(name), error);
        return !resolved || !m_owner.IsLocked(*resolved);
    }

private:
    FakeFileSystem& m_owner;
    std::string m_folder;  // ends with a backslash
};

std::unique_ptr<platform::FolderEntries> FakeFileSystem::OpenFolderEntries(std::string_view folder)
{
    if (m_locked.empty()) return nullptr;
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    return std::make_unique<Entries>(*this, std::move(path));
}

void FakeFileSystem::NameKey(std::string_view name, platform::NameCase nameCase, std::string& key) const
{
    FileSystem::NameKey(name, nameCase, key);
    if (nameCase != platform::NameCase::IgnoreLetters) return;
    // The small Latin-1 letters U+00E0 to U+00FE (but U+00F7, the division
    // sign) lie 0x20 above their capitals, in UTF-8 after the byte C3.
    for (std::size_t i = 0; i + 1 < key.size(); ++i) {
        const auto lead = static_cast<unsigned char>(key[i]);
        const auto next = static_cast<unsigned char>(key[i + 1]);
        if (lead == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) key[i + 1] = static_cast<char>(next - 0x20);
        if (lead >= 0xC0) ++i;
    }
}

void FakeFileSystem::Insert(const Resolved& resolved, std::uint32_t attributes)
{
    if (resolved.Name.empty()) return;  // a drive root exists with its drive
    if (FindFolder(resolved.Parent) == nullptr) {
        std::uint32_t error = 0;
        const std::optional<Resolved> parent = Resolve(resolved.Parent, error);
        Require(error, resolved.Parent);
        Insert(*parent, platform::faDirectory);
    }
    Folder& parent = m_folders[resolved.Parent];
    const std::string* stored = StoredName(parent, resolved.Name);
    const auto [it, inserted] = parent.Entries.try_emplace(stored != nullptr ? *stored : resolved.Name);
    it->second.Attributes = attributes;
    if (inserted) {
        it->second.Sequence = m_nextSequence++;
        it->second.Identity = m_nextIdentity++;
        parent.Order.emplace(it->second.Sequence, resolved.Name);
    }
    if ((attributes & platform::faDirectory) != 0) m_folders.try_emplace(resolved.Path);
}

void FakeFileSystem::AddDrive(char letter)
{
    letter = UpperAscii(letter);
    if (m_drives.contains(letter)) return;
    const std::string root{letter, ':', '\\'};
    m_drives.emplace(letter, Drive{true, root});
    m_folders.try_emplace(root);
}

void FakeFileSystem::SetDriveReady(char letter, bool ready)
{
    AddDrive(letter);
    m_drives.at(UpperAscii(letter)).Ready = ready;
}

void FakeFileSystem::AddFile(std::string_view path, std::uint32_t attributes)
{
    AddDrive(HasDrive(path) ? path[0] : m_currentDrive);
    std::uint32_t error = 0;
    const std::optional<Resolved> resolved = Resolve(path, error);
    Require(error, path);
    Insert(*resolved, attributes);
}

void FakeFileSystem::AddFolder(std::string_view path, std::uint32_t attributes)
{
    AddFile(path, attributes | platform::faDirectory);
}

void FakeFileSystem::FailMoveFileTo(std::string_view newPath, std::uint32_t error)
{
    std::uint32_t resolveError = 0;
    const std::optional<Resolved> resolved = Resolve(newPath, resolveError);
    m_failingTargets[resolved ? resolved->Path : std::string(newPath)] = error;
}

void FakeFileSystem::FailMoveFileCall(std::size_t callNumber, std::uint32_t error)
{
    m_failingCalls[callNumber] = error;
}

bool FakeFileSystem::Exists(std::string_view path) const
{
    std::uint32_t error = 0;
    const std::optional<Resolved> resolved = Resolve(path, error);
    if (!resolved) return false;
    return resolved->Name.empty() || FindEntry(*resolved) != nullptr;
}

std::vector<std::string> FakeFileSystem::Names(std::string_view folder) const
{
    std::vector<std::string> names;
    std::uint32_t error = 0;
    const std::optional<Resolved> resolved = Resolve(folder, error);
    const Folder* found = resolved ? FindFolder(resolved->Path) : nullptr;
    if (found == nullptr) return names;
    for (const auto& [sequence, name] : found->Order) names.push_back(name);
    return names;
}

std::unique_ptr<platform::FindHandle> FakeFileSystem::FindFirst(std::string_view pattern)
{
    m_patterns.emplace_back(pattern);

    std::size_t split = pattern.size();
    while (split > 0 && !IsSeparator(pattern[split - 1])) --split;
    if (split == 0 && HasDrive(pattern)) split = 2;
    const std::string_view mask = pattern.substr(split);

    std::uint32_t error = 0;
    const std::optional<Resolved> folder = Resolve(pattern.substr(0, split), error);
    if (!folder || FindFolder(folder->Path) == nullptr) return nullptr;

    // As on Windows, an enumeration that would deliver nothing cannot be opened.
    platform::FindEntry first;
    if (!Enumeration(*this, folder->Path, std::string(mask)).Next(first)) return nullptr;
    return std::make_unique<Enumeration>(*this, folder->Path, std::string(mask));
}

std::uint32_t FakeFileSystem::MoveFile(std::string_view oldPath, std::string_view newPath)
{
    m_moves.emplace_back(oldPath, newPath);
    if (const auto failing = m_failingCalls.find(m_moves.size()); failing != m_failingCalls.end()) {
        return failing->second;
    }

    std::uint32_t error = 0;
    const std::optional<Resolved> from = Resolve(oldPath, error);
    if (!from) return error;
    const std::optional<Resolved> to = Resolve(newPath, error);
    if (!to) return error;
    if (const auto failing = m_failingTargets.find(to->Path); failing != m_failingTargets.end()) {
        return failing->second;
    }

    if (from->Name.empty() || to->Name.empty()) return platform::kErrorAccessDenied;
    const Folder* sourceFolder = FindFolder(from->Parent);
    if (sourceFolder == nullptr) return platform::kErrorPathNotFound;
    const std::string* fromStored = StoredName(*sourceFolder, from->Name);
    if (fromStored == nullptr) return platform::kErrorFileNotFound;
    const std::string fromName = *fromStored;
    if (from->Path == to->Path) return platform::kErrorSuccess;
    const Folder* targetFolder = FindFolder(to->Parent);
    if (targetFolder == nullptr) return platform::kErrorPathNotFound;
    // Another spelling of the file's own name is the file itself.
    const std::string* toStored = StoredName(*targetFolder, to->Name);
    if (toStored != nullptr && !(from->Parent == to->Parent && *toStored == fromName)) {
        return platform::kErrorAlreadyExists;
    }
    if (to->Path.starts_with(from->Path + '\\')) return platform::kErrorAccessDenied;
    if (!m_nameRules.Writable || IsLocked(*from)) return platform::kErrorAccessDenied;
    if (to->Name.size() > m_nameRules.MaxNameLength) return platform::kErrorFilenameTooLong;
    if (!IsNameTaken(to->Name, m_nameRules)) return platform::kErrorInvalidName;

    const Entry moved = sourceFolder->Entries.at(fromName);
    Folder& source = m_folders.at(from->Parent);
    source.Order.erase(moved.Sequence);
    source.Entries.erase(fromName);

    Folder& target = m_folders.at(to->Parent);
    Entry& placed = target.Entries[to->Name];
    placed.Attributes = moved.Attributes;
    placed.Identity = moved.Identity;
    placed.Sequence = m_renamedEntriesReappear ? m_nextSequence++ : moved.Sequence;
    target.Order.emplace(placed.Sequence, to->Name);

    if ((moved.Attributes & platform::faDirectory) != 0) MoveSubtree(from->Path, to->Path);
    return platform::kErrorSuccess;
}

void FakeFileSystem::MoveSubtree(const std::string& oldPath, const std::string& newPath)
{
    std::map<std::string, Folder> moved;
    for (auto it = m_folders.begin(); it != m_folders.end();) {
        if (it->first == oldPath || it->first.starts_with(oldPath + '\\')) {
            moved.emplace(newPath + it->first.substr(oldPath.size()), std::move(it->second));
            it = m_folders.erase(it);
        } else {
            ++it;
        }
    }
    m_folders.merge(moved);
}

std::string FakeFileSystem::GetCurrentDirectory()
{
    const auto drive = m_drives.find(m_currentDrive);
    return drive == m_drives.end() ? std::string{m_currentDrive, ':', '\\'} : drive->second.CurrentFolder;
}

std::uint32_t FakeFileSystem::SetCurrentDirectory(std::string_view path)
{
    std::uint32_t error = 0;
    const std::optional<Resolved> resolved = Resolve(path, error);
    if (!resolved) return error;
    if (FindFolder(resolved->Path) != nullptr) {
        m_currentDrive = resolved->Path[0];
        m_drives.at(m_currentDrive).CurrentFolder = resolved->Path;
        return platform::kErrorSuccess;
    }
    if (FindEntry(*resolved) != nullptr) return platform::kErrorDirectory;
    return FindFolder(resolved->Parent) != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
}

bool FakeFileSystem::GetFileAttributes(std::string_view path, std::uint32_t& attributes)
{
    std::uint32_t error = 0;
    const std::optional<Resolved> resolved = Resolve(path, error);
    if (!resolved) return false;
    if (resolved->Name.empty()) {
        attributes = platform::faDirectory;
        return true;
    }
    const Entry* entry = FindEntry(*resolved);
    if (entry == nullptr) return false;
    attributes = entry->Attributes;
    return true;
}

bool FakeFileSystem::GetFileIdentity(std::string_view path, platform::FileIdentity& identity)
{
    std::uint32_t error = 0;
    const std::optional<Resolved> resolved = Resolve(path, error);
    const Entry* entry = resolved ? FindEntry(*resolved) : nullptr;
    if (entry == nullptr) return false;
    identity = platform::FileIdentity{0, entry->Identity, 1};
    return true;
}

platform::FolderNameRules FakeFileSystem::GetFolderNameRules(std::string_view) { return m_nameRules; }

}  // namespace quorvane::testing
