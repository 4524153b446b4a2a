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
    struct Slot {
        std::uint64_t Hash = 0;
        std::size_t Begin = kFree;  // of the key in m_keys
        std::size_t Length = 0;
    };
    static constexpr std::size_t kFree = static_cast<std::size_t>(-1);

    // The slot that holds `key`, or the free slot where it belongs.
    std::size_t Find(std::string_view key, std::uint64_t hash) const;
    void Grow();

    std::string m_keys;
    std::vector<Slot> m_slots;  // open addressing, a power of two in size, at most half full
    std::size_t m_size = 0;
};

}  // namespace quorvane
