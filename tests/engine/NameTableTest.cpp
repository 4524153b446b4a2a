#include "engine/NameTable.h"

#include <gtest/gtest.h>

#include <string>
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

}  // namespace
}  // namespace quorvane
