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

RenameForecast::NameState RenameForecast::Lookup(const std::string& name, platform::FileIdentity& identity)
{
    if (const auto changed = m_changed.find(name); changed != m_changed.end()) {
        return changed->second ? NameState::TakenInRun : NameState::Free;
    }
    m_path.assign(m_folderPath).append(name);
    return m_fileSystem.GetFileIdentity(m_path, identity) ? NameState::OnDisk : NameState::Free;
}

bool RenameForecast::Rename(const std::string& oldName, const std::string& newName)
{
    if (!IsUsableNewName(oldName, newName, m_rules)) return false;
    // A name that stays as it is asks nothing of the folder.
    if (oldName == newName) return true;
    if (!m_rules.Writable) return false;

    platform::FileIdentity target;
    const NameState targetState = Lookup(newName, target);
    if (targetState == NameState::TakenInRun) return false;
    if (targetState == NameState::OnDisk) {
        platform::FileIdentity source;
        if (Lookup(oldName, source) != NameState::OnDisk) return false;
        const bool ownEntry = source.Volume == target.Volume && source.File == target.File && source.Links == 1;
        if (!ownEntry) return false;
    }
    m_changed[oldName] = false;
    m_changed[newName] = true;
    return true;
}

}  // namespace quorvane
