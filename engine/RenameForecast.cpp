#include "engine/RenameForecast.h"

#include "runtime/AsciiCase.h"

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
    return !(rules.DotNamesHide && newName.front() == '.' && !oldName.starts_with('.'));
}

RenameForecast::RenameForecast(platform::FileSystem& fileSystem, std::string folderPath,
                               platform::FolderNameRules rules)
    : m_fileSystem(fileSystem), m_folderPath(std::move(folderPath)), m_rules(rules)
{
}

bool RenameForecast::Identity(std::string_view name, platform::FileIdentity& identity)
{
    m_path.assign(m_folderPath).append(name);
    return m_fileSystem.GetFileIdentity(m_path, identity);
}

void RenameForecast::ListFolder()
{
    m_listed = true;
    std::string probe;
    if (const auto listing = m_fileSystem.FindFirstReporting(m_folderPath + "*", 0)) {
        platform::FindEntry entry;
        while (listing->Next(entry)) {
            if (entry.Name == "." || entry.Name == "..") continue;
            if (probe.empty()) {
                for (const char c : entry.Name) {
                    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                        probe = entry.Name;
                        break;
                    }
                }
            }
            m_lastListed = m_names.Add(entry.Name);
            m_names.Mark(m_lastListed) = NameState::OnDisk;
        }
    }
    m_nextListed = m_names.First();
    // A folder that finds a name under another case of its letters ignores
    // case: there every name must be asked for, as the folder decides which
    // spellings are one.
    if (probe.empty()) return;
    for (char& c : probe) c = c == AsciiLower(c) ? AsciiUpper(c) : AsciiLower(c);
    platform::FileIdentity ignored;
    m_ignoresCase = !m_names.Contains(probe) && Identity(probe, ignored);
}

NameTable::Entry RenameForecast::Enter(std::string_view name)
{
    const NameTable::Entry entry = m_names.Add(name);
    if (m_names.Mark(entry) == NameState::Unknown) {
        platform::FileIdentity ignored;
        m_names.Mark(entry) = m_ignoresCase && Identity(name, ignored) ? NameState::OnDisk : NameState::Free;
    }
    return entry;
}

NameTable::Entry RenameForecast::EnterOldName(std::string_view name)
{
    // A test run meets its files in the order the listing gave them, with
    // those that do not match its mask between them: the next few listed
    // names, which lie side by side in memory, most often hold it.
    NameTable::Entry entry = m_nextListed;
    for (int ahead = 0; ahead < 8 && entry != 0 && entry <= m_lastListed; ++ahead, entry = m_names.Next(entry)) {
        if (m_names.Name(entry) == name) {
            m_nextListed = m_names.Next(entry);
            return entry;
        }
    }
    return Enter(name);
}

bool RenameForecast::Rename(const std::string& oldName, const std::string& newName)
{
    if (!IsUsableNewName(oldName, newName, m_rules)) return false;
    // A name that stays as it is asks nothing of the folder.
    if (oldName == newName) return true;
    if (!m_rules.Writable) return false;
    if (!m_listed) ListFolder();

    const NameTable::Entry target = Enter(newName);
    if (m_names.Mark(target) == NameState::TakenInRun) return false;
    if (m_names.Mark(target) == NameState::OnDisk) {
        platform::FileIdentity source;
        platform::FileIdentity existing;
        if (!Identity(oldName, source) || !Identity(newName, existing)) return false;
        const bool ownEntry = source.Volume == existing.Volume && source.File == existing.File && source.Links == 1;
        if (!ownEntry) return false;
    }
    m_names.Mark(EnterOldName(oldName)) = NameState::Free;
    m_names.Mark(target) = NameState::TakenInRun;
    return true;
}

}  // namespace quorvane
