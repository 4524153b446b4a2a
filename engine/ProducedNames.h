#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The names one batch run produced, held as keys of the locale comparison
// that ignores case, so that asking for a name costs the same with 100 and
// with 100,000 names behind it. The keys lie one after the other in a single
// text and the table holds only their hashes and places; a run over a large
// folder thus stays within a few blocks of memory instead of one per name.
class ProducedNames {
public:
    bool Contains(std::string_view key) const;

    // Adds a key; one that is there already is not stored twice.
    void Add(std::string_view key);

    std::size_t Size() const { return m_size; }

private:
    // A place in the table: the high half of the key's hash, and the number
    // of the key plus one (0 for a free place). Eight bytes a place keep the
    // table of 100,000 names small enough for the processor's caches.
    struct Slot {
        std::uint32_t Tag = 0;
        std::uint32_t Number = 0;
    };

    std::string_view Key(std::uint32_t number) const;
    // The place that holds `key`, or the free place where it belongs.
    std::size_t Find(std::string_view key, std::uint64_t hash) const;
    void Grow();

    std::string m_keys;                  // every key, one after the other
    std::vector<std::size_t> m_begins;   // where key n starts; one more entry for the end
    std::vector<std::uint64_t> m_hashes; // the hash of key n, to place it anew when the table grows
    std::vector<Slot> m_slots;           // open addressing, a power of two in size, at most half full
    std::size_t m_size = 0;
};

}  // namespace quorvane
