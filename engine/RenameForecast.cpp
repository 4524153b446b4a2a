#include "engine/RenameForecast.h"

#include <utility>

namespace quorvane {

bool IsUsableNewName(std::string_view oldName, std::string_view newName, const platform::FolderNameRules& rules)
{
    // An empty name, "." and ".." name the folders themselves, and a zero
    // byte would cut the name short on its way to the system.
    if (newName.empty() || newName == "." || newName == "..") return false;
    if (newName.find('\0') != std::string_view::npos) return false;
    if (newName.find_first_of(rules.ForbiddenCharacters) != std::string_view::npos) return false;
    if (newName.size() > rules.MaxNameLength) return false;
    return !(rules.DotNamesHide && newName.front() == '.' && !oldName.starts_with('.'));
}

RenameForecast::RenameForecast(platform::FileSystem& fileSystem, std::string folderPath,
                               platform::FolderNameRules rules)
    : m_fileSystem(fileSystem), m_folderPath(std::move(folderPath)), m_rules(rules)
{
}

bool RenameForecast::Identity(const std::string& name, platform::FileIdentity& identity)
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
            m_names.emplace(std::move(entry.Name), NameState::OnDisk);
        }
    }
    // A folder that finds a name under another case of its letters ignores
    // case: there every name must be asked for, as the folder decides which
    // spellings are one.
    if (probe.empty()) return;
    for (char& c : probe) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    platform::FileIdentity ignored;
    m_ignoresCase = !m_names.contains(probe) && Identity(probe, ignored);
}

RenameForecast::NameState RenameForecast::Lookup(const std::string& name)
{
    if (const auto known = m_names.find(name); known != m_names.end()) return known->second;
    platform::FileIdentity ignored;
    return m_ignoresCase && Identity(name, ignored) ? NameState::OnDisk : NameState::Free;
}

bool RenameForecast::Rename(const std::string& oldName, const std::string& newName)
{
    if (!IsUsableNewName(oldName, newName, m_rules)) return false;
    // A name that stays as it is asks nothing of the folder.
    if (oldName == newName) return true;
    if (!m_rules.Writable) return false;
    if (!m_listed) ListFolder();

    const NameState targetState = Lookup(newName);
    if (targetState == NameState::TakenInRun) return false;
    if (targetState == NameState::OnDisk) {
        platform::FileIdentity source;
        platform::FileIdentity target;
        if (!Identity(oldName, source) || !Identity(newName, target)) return false;
        const bool ownEntry = source.Volume == target.Volume && source.File == target.File && source.Links == 1;
        if (!ownEntry) return false;
    }
    m_names[oldName] = NameState::Free;
    m_names[newName] = NameState::TakenInRun;
    return true;
}

}  // namespace quorvane
