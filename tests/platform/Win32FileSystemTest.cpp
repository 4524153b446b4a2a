#include "platform/FileSystem.h"

#include "platform/win32/Win32Api.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Win32Wine.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvane::platform {
namespace {

using Listing = std::map<std::string, std::uint32_t>;

// The marks a test sets; Wine keeps every file marked for archiving.
constexpr std::uint32_t kMarks = faReadOnly | faHidden | faSysFile | faDirectory;

Listing List(const std::string& pattern)
{
    std::unique_ptr<FindHandle> find = NativeFileSystem().FindFirst(pattern);
    Listing listing;
    FindEntry entry;
    while (find != nullptr && find->Next(entry)) listing[entry.Name] = entry.Attributes & kMarks;
    return listing;
}

// Windows keeps read-only, hidden and system as marks of their own, which the
// enumeration hands on for the callers' filters.
TEST(Win32FileSystemTest, EnumerationReportsTheFileMarks)
{
    testing::TempFolder temp;
    const struct {
        const char* Name;
        DWORD Marks;
    } files[] = {
        {"plain.mp3", FILE_ATTRIBUTE_NORMAL},
        {"read only.mp3", FILE_ATTRIBUTE_READONLY},
        {"versteckt.mp3", FILE_ATTRIBUTE_HIDDEN},
        {"system.mp3", FILE_ATTRIBUTE_SYSTEM},
    };
    for (const auto& file : files) {
        temp.CreateFile(file.Name);
        ASSERT_TRUE(::SetFileAttributesA((temp.Name() + "\\" + file.Name).c_str(), file.Marks)) << file.Name;
    }
    temp.CreateFolder("Versteckter Ordner");
    ASSERT_TRUE(::SetFileAttributesA((temp.Name() + "\\Versteckter Ordner").c_str(),
                                     FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));

    EXPECT_EQ(List(temp.Name() + "\\*.mp3"), (Listing{{"plain.mp3", 0},
                                                      {"read only.mp3", faReadOnly},
                                                      {"versteckt.mp3", faHidden},
                                                      {"system.mp3", faSysFile}}));
    EXPECT_EQ(List(temp.Name() + "\\Versteckter*"), (Listing{{"Versteckter Ordner", faDirectory | faHidden}}));
    std::uint32_t attributes = 0;
    EXPECT_TRUE(NativeFileSystem().GetFileAttributes(temp.Name() + "\\read only.mp3", attributes));
    EXPECT_EQ(attributes & kMarks, faReadOnly);
    EXPECT_TRUE(NativeFileSystem().FileExists(temp.Name() + "\\versteckt.mp3"));
}

TEST(Win32FileSystemTest, ChangesOnlyTheCaseOfAName)
{
    if (const auto wine = testing::WineVersion()) {
        GTEST_SKIP() << "Wine " << *wine << " accepts a rename that changes only the case, but leaves the old case on "
                     << "disk, so the result cannot be seen here";
    }
    testing::TempFolder temp;
    temp.CreateFile("song.mp3", "s");
    EXPECT_EQ(NativeFileSystem().MoveFile(temp.Name() + "\\song.mp3", temp.Name() + "\\Song.mp3"), kErrorSuccess);
    EXPECT_EQ(temp.Names(), (std::vector<std::string>{"Song.mp3"}));
}

}  // namespace
}  // namespace quorvane::platform
