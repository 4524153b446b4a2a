#include "engine/NameTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {
namespace {

TEST(NameTableTest, KeepsExactlyTheNamesAddedWithTheirMarksInOrder)
{
    NameTable names;
    EXPECT_FALSE(names.Contains(""));
    EXPECT_EQ(0u, names.First());

    // The empty name, names that are prefixes of each other, names added
    // twice, and names longer than a block of the table, over many growths.
    std::vector<std::string> added{""};
    names.Add("");
    for (int i = 0; i < 5000; ++i) {
        std::string name = "name " + std::to_string(i);
        if (i % 1000 == 999) name.append(70000, 'x');
        const NameTable::Entry entry = names.Add(name);
        EXPECT_EQ(name, names.Name(entry));
        EXPECT_EQ(0, names.Mark(entry));
        names.Mark(entry) = static_cast<unsigned char>(i % 200 + 1);
        added.push_back(name);
        EXPECT_EQ(names.Find(added[i / 2]), names.Add(added[i / 2]));
    }
    EXPECT_EQ(added.size(), names.Size());

    std::size_t index = 0;
    for (NameTable::Entry entry = names.First(); entry != 0; entry = names.Next(entry), ++index) {
        ASSERT_LT(index, added.size());
        EXPECT_EQ(added[index], names.Name(entry));
        EXPECT_EQ(entry, names.Find(added[index]));
        if (index > 0) {
            EXPECT_EQ((index - 1) % 200 + 1, names.Mark(entry)) << index;
        }
    }
    EXPECT_EQ(added.size(), index);

    EXPECT_FALSE(names.Contains("name "));
    EXPECT_FALSE(names.Contains("name 5000"));
    EXPECT_FALSE(names.Contains("name 1 "));
    EXPECT_FALSE(names.Contains(std::string("name 1\0", 7)));
}

// Names made to share one value of the standard library's string hash (the
// table's hash before it was keyed): swapping both blocks of a pair whose
// mixed values differ only in the top bit leaves that hash as it was. The
// table must keep each of them apart, whatever its hash makes of them.
TEST(NameTableTest, KeepsNamesMadeToCollideApart)
{
    constexpr std::uint64_t kMul = (std::uint64_t{0xc6a4a793} << 32) + 0x5bd1e995;
    std::uint64_t inverse = kMul;
    for (int i = 0; i < 6; ++i) inverse *= 2 - kMul * inverse;
    const auto shiftMix = [](std::uint64_t v) { return v ^ (v >> 47); };
    const auto block = [](std::uint64_t word) { return std::string(reinterpret_cast<const char*>(&word), 8); };

    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::uint64_t first = 0x6161616161616161; pairs.size() < 24; ++first) {
        const std::uint64_t mixed = shiftMix(first * kMul) * kMul ^ std::uint64_t{1} << 63;
        const std::uint64_t second = shiftMix(mixed * inverse) * inverse;
        pairs.emplace_back(block(first), block(second));
    }
    std::vector<std::string> crafted;
    for (std::uint32_t choice = 0; choice < 4096; ++choice) {
        std::string name = "crafted_";
        for (std::size_t bit = 0; bit < pairs.size(); bit += 2) {
            name += (choice >> bit / 2 & 1) != 0 ? pairs[bit].second + pairs[bit + 1].second
                                                 : pairs[bit].first + pairs[bit + 1].first;
        }
        crafted.push_back(name + ".mp3");
    }
    ASSERT_EQ(std::hash<std::string_view>{}(crafted[0]), std::hash<std::string_view>{}(crafted[4095]));

    NameTable names;
    for (const std::string& name : crafted) names.Add(name);
    EXPECT_EQ(crafted.size(), names.Size());
    NameTable::Entry entry = names.First();
    for (const std::string& name : crafted) {
        EXPECT_EQ(entry, names.Find(name));
        EXPECT_EQ(name, names.Name(entry));
        entry = names.Next(entry);
    }
    EXPECT_FALSE(names.Contains(crafted[0].substr(0, 100) + "x.mp3"));
}

}  // namespace
}  // namespace quorvane
