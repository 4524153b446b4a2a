#include "engine/ProducedNames.h"

#include <functional>

namespace quorvane {

namespace {

constexpr std::size_t kInitialSlots = 64;

std::uint64_t HashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

std::uint32_t TagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

}  // namespace

std::string_view ProducedNames::Key(std::uint32_t number) const
{
    const std::size_t begin = m_begins[number - 1];
    return std::string_view(m_keys).substr(begin, m_begins[number] - begin);
}

std::size_t ProducedNames::Find(std::string_view key, std::uint64_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    const std::uint32_t tag = TagOf(hash);
    for (std::size_t index = static_cast<std::size_t>(hash) & mask;; index = (index + 1) & mask) {
        const Slot& slot = m_slots[index];
        if (slot.Number == 0) return index;
        if (slot.Tag == tag && Key(slot.Number) == key) return index;
    }
}

bool ProducedNames::Contains(std::string_view key) const
{
    if (m_size == 0) return false;
    return m_slots[Find(key, HashOf(key))].Number != 0;
}

void ProducedNames::Add(std::string_view key)
{
    if ((m_size + 1) * 2 > m_slots.size()) Grow();
    const std::uint64_t hash = HashOf(key);
    Slot& slot = m_slots[Find(key, hash)];
    if (slot.Number != 0) return;

    if (m_begins.empty()) m_begins.push_back(0);
    m_keys += key;
    m_begins.push_back(m_keys.size());
    m_hashes.push_back(hash);
    ++m_size;
    slot.Tag = TagOf(hash);
    slot.Number = static_cast<std::uint32_t>(m_size);
}

void ProducedNames::Grow()
{
    m_slots.assign(m_slots.empty() ? kInitialSlots : m_slots.size() * 2, Slot{});
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t n = 0; n < m_size; ++n) {
        const std::uint64_t hash = m_hashes[n];
        std::size_t index = static_cast<std::size_t>(hash) & mask;
        while (m_slots[index].Number != 0) index = (index + 1) & mask;
        m_slots[index] = Slot{TagOf(hash), static_cast<std::uint32_t>(n + 1)};
    }
}

}  // namespace quorvane
