#include "engine/NameTable.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <new>
#include <random>
#include <stdexcept>

namespace quorvane {

// What each name is kept with, in the unit before its bytes.
struct NameTable::Header {
    std::uint64_t Hash;
    std::uint32_t Size;
    unsigned char Mark;
};

namespace {

constexpr std::size_t kInitialSlots = 64;
constexpr std::size_t kUnit = sizeof(std::uint64_t);
// A block of 64 kB stays below the size from which the allocator maps fresh
// memory from the system for each request (and hands it back at once).
constexpr std::size_t kBlockUnits = 65536 / kUnit;
constexpr unsigned kUnitBits = 13;  // kBlockUnits == 1 << kUnitBits
// Entries count from 1, so the last place of the last possible block stays unused.
constexpr std::size_t kMaxBlocks = (std::size_t{1} << (32 - kUnitBits)) - 1;
constexpr std::size_t kHeaderUnits = 2;

// The names come from folders that anyone may fill, so the hash must not
// let somebody choose names that all land on one place: the standard
// library's string hash has fixed multicollisions that hold for every seed,
// and 100,000 such names made every lookup walk all the others. SipHash-1-3
// with a key drawn once per process from the system's random source gives
// no such handle, and on names of typical length it costs a few nanoseconds
// more per name than the old hash.
struct SipKey {
    std::uint64_t K0;
    std::uint64_t K1;
};

SipKey DrawKey()
{
    try {
        std::random_device source;
        const auto word = [&source] { return std::uint64_t{source()} << 32 | source(); };
        return SipKey{word(), word()};
    } catch (...) {
        // A system without a random source still differs from run to run
        // in its clock and in where it loads the program.
        const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        return SipKey{now, reinterpret_cast<std::uintptr_t>(&now) ^ (now << 17)};
    }
}

const SipKey& ProcessKey()
{
    static const SipKey key = DrawKey();
    return key;
}

struct SipState {
    std::uint64_t V0, V1, V2, V3;

    void Round()
    {
        V0 += V1; V1 = std::rotl(V1, 13); V1 ^= V0; V0 = std::rotl(V0, 32);
        V2 += V3; V3 = std::rotl(V3, 16); V3 ^= V2;
        V0 += V3; V3 = std::rotl(V3, 21); V3 ^= V0;
        V2 += V1; V1 = std::rotl(V1, 17); V1 ^= V2; V2 = std::rotl(V2, 32);
    }

    void Take(std::uint64_t word)
    {
        V3 ^= word;
        Round();
        V0 ^= word;
    }
};

std::uint64_t HashOf(std::string_view name)
{
    const SipKey& key = ProcessKey();
    SipState state{key.K0 ^ 0x736f6d6570736575, key.K1 ^ 0x646f72616e646f6d, key.K0 ^ 0x6c7967656e657261,
                   key.K1 ^ 0x7465646279746573};
    const char* bytes = name.data();
    const std::size_t whole = name.size() & ~std::size_t{7};
    for (std::size_t at = 0; at < whole; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        state.Take(word);
    }
    std::uint64_t last = static_cast<std::uint64_t>(name.size()) << 56;
    for (std::size_t at = whole; at < name.size(); ++at) {
        last |= std::uint64_t{static_cast<unsigned char>(bytes[at])} << (8 * (at - whole));
    }
    state.Take(last);
    state.V2 ^= 0xff;
    state.Round();
    state.Round();
    state.Round();
    return state.V0 ^ state.V1 ^ state.V2 ^ state.V3;
}

std::uint32_t TagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

std::size_t UnitsFor(std::size_t bytes) { return (bytes + kUnit - 1) / kUnit; }

}  // namespace

NameTable::NameTable() = default;
NameTable::~NameTable() = default;

NameTable::Header& NameTable::HeaderOf(Entry entry) const
{
    static_assert(sizeof(Header) == kHeaderUnits * kUnit);
    const Entry at = entry - 1;
    return *std::launder(reinterpret_cast<Header*>(&m_blocks[at >> kUnitBits].Words[at & (kBlockUnits - 1)]));
}

std::string_view NameTable::Name(Entry entry) const
{
    const Header& header = HeaderOf(entry);
    return std::string_view(reinterpret_cast<const char*>(&header) + kHeaderUnits * kUnit, header.Size);
}

unsigned char& NameTable::Mark(Entry entry) { return HeaderOf(entry).Mark; }

NameTable::Entry NameTable::Next(Entry entry) const
{
    const Entry at = entry - 1;
    const std::size_t block = at >> kUnitBits;
    const std::size_t unit = (at & (kBlockUnits - 1)) + kHeaderUnits + UnitsFor(HeaderOf(entry).Size);
    if (unit < m_blocks[block].Used) return static_cast<Entry>(((block << kUnitBits) | unit) + 1);
    if (block + 1 < m_blocks.size()) return static_cast<Entry>(((block + 1) << kUnitBits) + 1);
    return 0;
}

std::size_t NameTable::Place(std::string_view name, std::uint64_t hash) const
{
    const std::size_t mask = m_slotCount - 1;
    const std::uint32_t tag = TagOf(hash);
    for (std::size_t index = static_cast<std::size_t>(hash) & mask;; index = (index + 1) & mask) {
        const Slot& slot = m_slots[index];
        if (slot.Where == 0) return index;
        if (slot.Tag == tag && Name(slot.Where) == name) return index;
    }
}

NameTable::Entry NameTable::Find(std::string_view name) const
{
    if (m_size == 0) return 0;
    return m_slots[Place(name, HashOf(name))].Where;
}

NameTable::Entry NameTable::Add(std::string_view name)
{
    if ((m_size + 1) * 2 > m_slotCount) Grow();
    const std::uint64_t hash = HashOf(name);
    Slot& slot = m_slots[Place(name, hash)];
    if (slot.Where != 0) return slot.Where;

    // A name longer than a block gets a block of its own.
    const std::size_t units = kHeaderUnits + UnitsFor(name.size());
    if (m_blocks.empty() || m_blocks.back().Units - m_blocks.back().Used < units) {
        if (m_blocks.size() == kMaxBlocks || name.size() > UINT32_MAX) {
            throw std::length_error("too many names for one table");
        }
        const std::size_t size = std::max(kBlockUnits, units);
        m_blocks.push_back(Block{std::make_unique_for_overwrite<std::uint64_t[]>(size), 0, size});
    }
    Block& block = m_blocks.back();
    const std::size_t unit = block.Used;
    new (&block.Words[unit]) Header{hash, static_cast<std::uint32_t>(name.size()), 0};
    if (!name.empty()) std::memcpy(&block.Words[unit + kHeaderUnits], name.data(), name.size());
    block.Used += units;
    ++m_size;

    slot.Tag = TagOf(hash);
    slot.Where = static_cast<Entry>((((m_blocks.size() - 1) << kUnitBits) | unit) + 1);
    return slot.Where;
}

void NameTable::Grow()
{
    m_slotCount = m_slotCount == 0 ? kInitialSlots : m_slotCount * 2;
    m_slots = std::make_unique<Slot[]>(m_slotCount);
    const std::size_t mask = m_slotCount - 1;
    for (Entry entry = First(); entry != 0; entry = Next(entry)) {
        const std::uint64_t hash = HeaderOf(entry).Hash;
        std::size_t index = static_cast<std::size_t>(hash) & mask;
        while (m_slots[index].Where != 0) index = (index + 1) & mask;
        m_slots[index] = Slot{TagOf(hash), entry};
    }
}

}  // namespace quorvane
