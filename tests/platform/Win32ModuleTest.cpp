#include "platform/Module.h"

#include "platform/FileSystem.h"
#include "platform/TextCase.h"

#include <gtest/gtest.h>

namespace quorvane::platform {
namespace {

TEST(Win32ModuleTest, ModuleFileNameIsTheRunningExecutable)
{
    const std::string name = NativeModuleFileName();
    ASSERT_GT(name.size(), 3u);
    EXPECT_EQ(name.substr(1, 2), ":\\") << name;
    const std::string file = name.substr(name.find_last_of('\\') + 1);
    EXPECT_EQ(NativeTextCase().CompareIgnoreCase(file, "quorvane_platform_tests.exe"), 0) << name;
    EXPECT_TRUE(NativeFileSystem().FileExists(name));
    EXPECT_EQ(ModuleFileName(), name);
}

}  // namespace
}  // namespace quorvane::platform
