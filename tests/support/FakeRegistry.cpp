#include "tests/support/FakeRegistry.h"

#include <cstring>

namespace quorvane::testing {

namespace {

std::string Folded(std::string_view path)
{
    std::string folded(path);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

}  // namespace

void FakeRegistry::AddKey(std::string_view path, std::optional<std::string> defaultValue)
{
    m_keys[Folded(path)].value = std::move(defaultValue);
}

void FakeRegistry::FailSizeQuery(std::string_view path) { m_keys[Folded(path)].failSize = true; }

void FakeRegistry::FailRead(std::string_view path) { m_keys[Folded(path)].failRead = true; }

FakeRegistry::TKey* FakeRegistry::Find(platform::RegistryKey key)
{
    const auto open = m_open.find(key);
    if (open == m_open.end()) return nullptr;
    return &m_keys.at(open->second);
}

std::int32_t FakeRegistry::OpenKey(platform::RegistryKey parent, std::string_view subKey, platform::RegistryKey& key)
{
    std::string path;
    if (parent != platform::kClassesRoot) {
        const auto open = m_open.find(parent);
        if (open == m_open.end()) return platform::kRegistryInvalidHandle;
        path = open->second + "\\";
    }
    path += Folded(subKey);
    m_attempts.push_back(path);
    if (m_keys.count(path) == 0) return platform::kRegistryKeyNotFound;
    key = m_nextKey++;
    m_open.emplace(key, path);
    ++m_openCount;
    return platform::kRegistrySuccess;
}

std::int32_t FakeRegistry::QueryDefaultValueSize(platform::RegistryKey key, std::uint32_t& size)
{
    const TKey* found = Find(key);
    if (found == nullptr) return platform::kRegistryInvalidHandle;
    if (found->failSize || !found->value) return platform::kRegistryKeyNotFound;
    size = static_cast<std::uint32_t>(found->value->size() + 1);
    return platform::kRegistrySuccess;
}

std::int32_t FakeRegistry::QueryDefaultValue(platform::RegistryKey key, char* buffer, std::uint32_t& size)
{
    const TKey* found = Find(key);
    if (found == nullptr) return platform::kRegistryInvalidHandle;
    if (found->failRead || !found->value) return platform::kRegistryKeyNotFound;
    const auto needed = static_cast<std::uint32_t>(found->value->size() + 1);
    if (size < needed) {
        // What a too small buffer holds afterwards is not defined; fill it
        // with something a careless reader would take for a value.
        std::memset(buffer, 'X', size);
        size = needed;
        return platform::kRegistryMoreData;
    }
    std::memcpy(buffer, found->value->c_str(), needed);
    size = needed;
    return platform::kRegistrySuccess;
}

std::int32_t FakeRegistry::CloseKey(platform::RegistryKey key)
{
    if (m_open.erase(key) == 0) {
        ++m_invalidCloses;
        return platform::kRegistryInvalidHandle;
    }
    ++m_closeCount;
    return platform::kRegistrySuccess;
}

}  // namespace quorvane::testing
