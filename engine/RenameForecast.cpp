#include "engine/RenameForecast.h"

#include <cstring>
#include <utility>

namespace quorvane {

bool IsUsableNewName(std::string_view oldName, std::string_view newName, const platform::FolderNameRules& rules)
{
    // An empty name, "." and ".." name the folders themselves, and a zero
    // byte would cut the name short on its way to the system.
    if (newName.empty() || newName == "." || newName == "..") return false;
    if (newName.size() > rules.MaxNameLength) return false;
    // One search through the name per character: the C library's goes many
    // bytes at a time (find_first_of would search the characters once per
    // byte of the name).
    if (std::memchr(newName.data(), '\0', newName.size()) != nullptr) return false;
    for (const char c : rules.ForbiddenCharacters) {
        if (std::memchr(newName.data(), c, newName.size()) != nullptr) return false;
    }
    if (rules.AsciiOnly) {
        unsigned char high = 0;
        for (const char c : newName) high |= static_cast<unsigned char>(c);
        if ((high & 0x80) != 0) return false;
    }
    if (rules.RefusesTrailingDotOrBlank && (newName.back() == '.' || newName.back() == ' ')) return false;
    return !(rules.DotNamesHide && newName.front() == '.' && !oldName.starts_with('.'));
}

RenameForecast::RenameForecast(platform::FileSystem& fileSystem, std::string folderPath,
                               platform::FolderNameRules rules)
    : m_fileSystem(fileSystem), m_folderPath(std::move(folderPath)), m_rules(rules)
{
}

RenameForecast::~RenameForecast() = default;

bool RenameForecast::Identity(std::string_view name, platform::FileIdentity& identity)
{
    m_path.assign(m_folderPath).append(name);
    return m_fileSystem.GetFileIdentity(m_path, identity);
}

std::string_view RenameForecast::Key(std::string_view name, std::string& buffer) const
{
    if (m_rules.Case == platform::NameCase::Exact) return name;
    m_fileSystem.NameKey(name, m_rules.Case, buffer);
    return buffer;
}

void RenameForecast::ListFolder()
{
    m_listed = true;
    if (const auto listing = m_fileSystem.FindFirstReporting(m_folderPath + "*", 0)) {
        platform::FindEntry entry;
        while (listing->Next(entry)) {
            if (entry.Name == "." || entry.Name == "..") continue;
            m_lastListed = m_names.Add(Key(entry.Name, m_newKey));
            m_names.Mark(m_lastListed) = NameState::OnDisk;
        }
    }
    m_nextListed = m_names.First();
}

NameTable::Entry RenameForecast::Enter(std::string_view key, std::string_view name)
{
    const NameTable::Entry entry = m_names.Add(key);
    if (m_names.Mark(entry) == NameState::Unknown) {
        // The listing holds every name of the folder. Only where the folder
        // ignores case and the name has letters beyond ASCII, whose case the
        // file system may fold otherwise than the key, is the folder asked.
        bool onDisk = false;
        if (m_rules.Case != platform::NameCase::Exact) {
            unsigned char high = 0;
            for (const char c : name) high |= static_cast<unsigned char>(c);
            platform::FileIdentity ignored;
            onDisk = (high & 0x80) != 0 && Identity(name, ignored);
        }
        m_names.Mark(entry) = onDisk ? NameState::OnDisk : NameState::Free;
    }
    return entry;
}

NameTable::Entry RenameForecast::EnterOldName(std::string_view key, std::string_view name)
{
    // A test run meets its files in the order the listing gave them, with
    // those that do not match its mask between them: the next few listed
    // names, which lie side by side in memory, most often hold it.
    NameTable::Entry entry = m_nextListed;
    for (int ahead = 0; ahead < 8 && entry != 0 && entry <= m_lastListed; ++ahead, entry = m_names.Next(entry)) {
        if (m_names.Name(entry) == key) {
            m_nextListed = m_names.Next(entry);
            return entry;
        }
    }
    return Enter(key, name);
}

bool RenameForecast::IsOwnEntry(std::string_view oldName, std::string_view newName)
{
    platform::FileIdentity source;
    platform::FileIdentity existing;
    if (!Identity(oldName, source) || !Identity(newName, existing)) return false;
    return source.Volume == existing.Volume && source.File == existing.File && source.Links == 1;
}

bool RenameForecast::MayRename(std::string_view oldName)
{
    if (!m_entriesOpened) {
        m_entriesOpened = true;
        m_entries = m_fileSystem.OpenFolderEntries(m_folderPath);
    }
    return m_entries == nullptr || m_entries->MayRename(oldName);
}

bool RenameForecast::Rename(const std::string& oldName, const std::string& newName)
{
    if (!IsUsableNewName(oldName, newName, m_rules)) return false;
    // A name that stays as it is asks nothing of the folder.
    if (oldName == newName) return true;
    if (!m_rules.Writable) return false;
    if (!m_listed) ListFolder();

    const std::string_view oldKey = Key(oldName, m_oldKey);
    const std::string_view newKey = Key(newName, m_newKey);
    const NameTable::Entry target = Enter(newKey, newName);
    if (m_names.Mark(target) == NameState::TakenInRun) return false;
    // A folder that ignores case finds a case-only change of the name as
    // the file itself, which a rename may change the spelling of; anything
    // else that is there stays in the way, unless the folder misses the
    // letters' case in a way the key does not and finds the file itself.
    if (m_names.Mark(target) == NameState::OnDisk && oldKey != newKey && !IsOwnEntry(oldName, newName)) {
        return false;
    }
    // Only a rename that would work so far costs a look at the file itself.
    if (!MayRename(oldName)) return false;
    m_names.Mark(EnterOldName(oldKey, oldName)) = NameState::Free;
    m_names.Mark(target) = NameState::TakenInRun;
    return true;
}

}  // namespace quorvane
