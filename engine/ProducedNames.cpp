#include "engine/ProducedNames.h"

#include <functional>

namespace quorvane {

namespace {

constexpr std::size_t kInitialSlots = 64;

std::uint64_t HashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

std::size_t ProducedNames::Find(std::string_view key, std::uint64_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t index = static_cast<std::size_t>(hash) & mask;; index = (index + 1) & mask) {
        const Slot& slot = m_slots[index];
        if (slot.Begin == kFree) return index;
        if (slot.Hash == hash && std::string_view(m_keys).substr(slot.Begin, slot.Length) == key) return index;
    }
}

bool ProducedNames::Contains(std::string_view key) const
{
    if (m_size == 0) return false;
    return m_slots[Find(key, HashOf(key))].Begin != kFree;
}

void ProducedNames::Add(std::string_view key)
{
    if ((m_size + 1) * 2 > m_slots.size()) Grow();
    const std::uint64_t hash = HashOf(key);
    Slot& slot = m_slots[Find(key, hash)];
    if (slot.Begin != kFree) return;
    slot.Hash = hash;
    slot.Begin = m_keys.size();
    slot.Length = key.size();
    m_keys += key;
    ++m_size;
}

void ProducedNames::Grow()
{
    std::vector<Slot> old(m_slots.empty() ? kInitialSlots : m_slots.size() * 2);
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.Begin == kFree) continue;
        std::size_t index = static_cast<std::size_t>(slot.Hash) & mask;
        while (m_slots[index].Begin != kFree) index = (index + 1) & mask;
        m_slots[index] = slot;
    }
}

}  // namespace quorvane
