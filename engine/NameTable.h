#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace quorvane {

// A set of names. Asking for a name costs the same with 100 and with
// 100,000 names behind it, also when somebody chose the names to collide:
// the hash is keyed afresh in every process. Each name is kept once, with its hash and one
// byte for the caller (its mark, 0 when added), in blocks of 64 kB that
// never move, filled in the order the names were added; the table itself
// holds only hashes and places. A run over a large folder thus writes each
// name once, in a few blocks that the memory allocator hands out again to
// the next run, rather than in one block that is copied at every doubling.
class NameTable {
public:
    // Where a name is kept, for Name, Mark and Next; 0 stands for none.
    using Entry = std::uint32_t;

    NameTable();
    ~NameTable();
    NameTable(const NameTable&) = delete;
    NameTable& operator=(const NameTable&) = delete;

    Entry Find(std::string_view name) const;

    bool Contains(std::string_view name) const { return Find(name) != 0; }

    // Adds a name, one that is there already is not stored twice; returns its entry.
    Entry Add(std::string_view name);

    std::string_view Name(Entry entry) const;
    unsigned char& Mark(Entry entry);
    // The entry added right after `entry`, or 0.
    Entry Next(Entry entry) const;
    // The entry added first, or 0.
    Entry First() const { return m_size == 0 ? 0 : 1; }

    std::size_t Size() const { return m_size; }

private:
    // A place in the table: the high half of the name's hash, and the
    // name's entry (0 for a free place). Eight bytes a place keep the table
    // of 100,000 names small enough for the processor's caches.
    struct Slot {
        std::uint32_t Tag;
        Entry Where;
    };
    struct Block {
        std::unique_ptr<std::uint64_t[]> Words;  // 8-byte units: each name's header, then its bytes
        std::size_t Used = 0;                    // in units
        std::size_t Units = 0;
    };
    struct Header;

    Header& HeaderOf(Entry entry) const;
    // The place that holds `name`, or the free place where it belongs.
    std::size_t Place(std::string_view name, std::uint64_t hash) const;
    void Grow();

    std::vector<Block> m_blocks;
    std::unique_ptr<Slot[]> m_slots;  // open addressing, a power of two in size, at most half full
    std::size_t m_slotCount = 0;
    std::size_t m_size = 0;
};

}  // namespace quorvane
