#include "engine/ProducedNames.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

TEST(ProducedNamesTest, AnswersExactlyForTheKeysAddedAcrossGrowth)
{
    ProducedNames names;
    EXPECT_FALSE(names.Contains(""));
    names.Add("");
    EXPECT_TRUE(names.Contains(""));

    // Keys that are prefixes of each other and keys added twice, over many
    // growths of the table.
    for (int i = 0; i < 5000; ++i) {
        names.Add("key " + std::to_string(i));
        names.Add("key " + std::to_string(i / 2));
    }
    EXPECT_EQ(5001u, names.Size());
    for (int i = 0; i < 5000; ++i) {
        EXPECT_TRUE(names.Contains("key " + std::to_string(i))) << i;
        EXPECT_FALSE(names.Contains("key " + std::to_string(i + 5000))) << i;
        EXPECT_FALSE(names.Contains("key " + std::to_string(i) + " ")) << i;
    }
    EXPECT_FALSE(names.Contains("key "));
    EXPECT_FALSE(names.Contains(std::string("key 1\0", 6)));
}

}  // namespace
}  // namespace quorvane
