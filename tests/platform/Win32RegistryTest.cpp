#include "platform/Registry.h"

#include "tests/support/Win32ClassesKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace quorvane::platform {
namespace {

using testing::Win32ClassesKeys;

// A key of the current user's classes is seen below HKEY_CLASSES_ROOT, where
// the web launcher looks, through the real registry of the system.
TEST(Win32RegistryTest, ReadsDefaultValuesOfTheClassesRoot)
{
    Win32ClassesKeys keys;
    const std::string type = "Quorvane.Test.Registry";
    ASSERT_TRUE(keys.Add(type, "Seite ä"));
    const std::string browser = R"("C:\Programme\Netz\netz.exe" "%1")";
    ASSERT_TRUE(keys.Add(type + "\\shell\\open\\command", browser));
    ASSERT_TRUE(keys.Add(type + "\\shell\\print"));
    ASSERT_TRUE(keys.Add(type + "\\shell\\edit", "edit"));
    ASSERT_TRUE(keys.SetUnterminated(type + "\\shell\\edit", "edit"));

    Registry& registry = NativeRegistry();
    RegistryKey root = 0;
    ASSERT_EQ(registry.OpenKey(kClassesRoot, type, root), kRegistrySuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryDefaultValueSize(root, size), kRegistrySuccess);
    EXPECT_EQ(size, 8u);

    // Letter case does not matter, and keys open below other open keys.
    RegistryKey command = 0;
    ASSERT_EQ(registry.OpenKey(root, "SHELL\\Open\\command", command), kRegistrySuccess);
    char buffer[64] = {};
    size = sizeof buffer;
    EXPECT_EQ(registry.QueryDefaultValue(command, buffer, size), kRegistrySuccess);
    EXPECT_EQ(std::string(buffer), browser);
    EXPECT_EQ(size, browser.size() + 1);
    char small[8] = {};
    size = sizeof small;
    EXPECT_EQ(registry.QueryDefaultValue(command, small, size), kRegistryMoreData);
    EXPECT_EQ(size, browser.size() + 1);
    EXPECT_EQ(registry.CloseKey(command), kRegistrySuccess);

    // A value stored without its closing zero still reads as a text.
    RegistryKey edit = 0;
    ASSERT_EQ(registry.OpenKey(root, "shell\\edit", edit), kRegistrySuccess);
    char unterminated[16];
    std::fill(std::begin(unterminated), std::end(unterminated), 'x');
    size = sizeof unterminated;
    EXPECT_EQ(registry.QueryDefaultValue(edit, unterminated, size), kRegistrySuccess);
    EXPECT_EQ(std::string(unterminated), "edit");
    EXPECT_EQ(registry.CloseKey(edit), kRegistrySuccess);

    RegistryKey print = 0;
    ASSERT_EQ(registry.OpenKey(root, "shell\\print", print), kRegistrySuccess);
    EXPECT_EQ(registry.QueryDefaultValueSize(print, size), kRegistryKeyNotFound);
    EXPECT_EQ(registry.CloseKey(print), kRegistrySuccess);

    RegistryKey missing = 0;
    EXPECT_EQ(registry.OpenKey(root, "shell\\missing", missing), kRegistryKeyNotFound);
    EXPECT_EQ(registry.OpenKey(kClassesRoot, "Quorvane.Test.Missing", missing), kRegistryKeyNotFound);
    EXPECT_EQ(registry.CloseKey(root), kRegistrySuccess);
    EXPECT_EQ(registry.CloseKey(root), kRegistryInvalidHandle);
}

}  // namespace
}  // namespace quorvane::platform
