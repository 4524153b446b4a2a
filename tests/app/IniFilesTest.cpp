#include "app/IniFiles.h"

#include "runtime/Exceptions.h"
#include "tests/support/FakeProfile.h"
#include "tests/support/FakeSettingsFolders.h"
#include "tests/support/HostOverride.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {
namespace {

using testing::FakeProfile;
using testing::ScopedHostService;

constexpr std::string_view kFile = "C:\\Programme\\Quorvane\\quorvane.ini";

TEST(IniFilesTest, SettingsPathReplacesOnlyTheFileNamesExtension)
{
    const struct {
        std::string_view module;
        std::string_view settings;
    } cases[] = {
        {"C:\\Programme\\Quorvane\\quorvane.exe", "C:\\Programme\\Quorvane\\quorvane.ini"},
        {"C:\\Programme\\Quorvane\\quorvane", "C:\\Programme\\Quorvane\\quorvane.ini"},
        {"C:\\Prog.d\\quorvane", "C:\\Prog.d\\quorvane.ini"},
        {"C:\\Prog.d\\quor.vane.exe", "C:\\Prog.d\\quor.vane.ini"},
        {"C:quorvane.exe", "C:quorvane.ini"},
        {"C:quorvane", "C:quorvane.ini"},
        {"Z:\\usr\\bin\\", "Z:\\usr\\bin\\.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsPathFor(c.module), c.settings) << c.module;
    }
}

// An installed program cannot write its own folder; its settings then live
// in the user's folder under the same file name. Nothing else moves them.
TEST(IniFilesTest, SettingsFileMovesToTheUsersFolderOnlyWhenTheExecutablesFolderCannotBeWritten)
{
    const struct {
        std::string_view module;
        std::string_view readOnly;
        std::string_view userFolder;
        std::string_view settings;
    } cases[] = {
        {"C:\\Musik\\Werkzeug\\quorvane", "", "C:\\.config\\quorvane", "C:\\Musik\\Werkzeug\\quorvane.ini"},
        {"Z:\\usr\\bin\\quorvane", "Z:\\usr\\bin", "C:\\.config\\quorvane", "C:\\.config\\quorvane\\quorvane.ini"},
        {"Z:\\opt\\q.d\\quorvane.bin", "Z:\\opt\\q.d", "Z:\\etc\\xdg\\quorvane", "Z:\\etc\\xdg\\quorvane\\quorvane.ini"},
        {"Z:\\quorvane", "Z:\\", "C:\\.config\\quorvane", "C:\\.config\\quorvane\\quorvane.ini"},
        {"Z:\\quorvane", "Z:", "C:\\.config\\quorvane", "Z:\\quorvane.ini"},
        {"Z:\\usr\\bin\\quorvane", "Z:\\usr\\bin", "Z:\\", "Z:\\quorvane.ini"},
        // Where the system gives the user no folder, the file stays and a
        // write says that it failed.
        {"Z:\\usr\\bin\\quorvane", "Z:\\usr\\bin", "", "Z:\\usr\\bin\\quorvane.ini"},
    };
    for (const auto& c : cases) {
        testing::FakeSettingsFolders folders;
        testing::ScopedHostService<platform::SettingsFolders> guard(folders, platform::ReplaceHostSettingsFolders);
        if (!c.readOnly.empty()) folders.ReadOnly.emplace(c.readOnly);
        folders.UserFolder = std::string(c.userFolder);
        EXPECT_EQ(SettingsFileFor(c.module), c.settings) << c.module << " read-only " << c.readOnly;
    }
}

TEST(IniFilesTest, ReadIntegerAcceptsDecimalAndBothHexadecimalFormsElseGivesTheDefault)
{
    const struct {
        std::string_view text;
        std::int32_t expected;
    } cases[] = {
        {"16", 16},
        {"0x10", 16},
        {"0X1f", 31},
        {"$10", 16},
        {"0xFFFFFFFF", -1},
        {"-0", 0},
        {"+300", 300},
        {"-2147483648", -2147483647 - 1},
        {"2147483647", 2147483647},
        {"0x", 77},
        {"$", 77},
        {"0x-1", 77},
        {"00x10", 77},
        {"0x100000000", 77},
        {"2147483648", 77},
        {"12a", 77},
        {"1.5", 77},
        {"12 ", 77},
        {"", 77},
    };
    for (const auto& c : cases) {
        FakeProfile profile;
        profile.Set(kFile, "FormMain", "Oben", c.text);
        const TIniFile ini(std::string(kFile), profile);
        EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 77), c.expected) << c.text;
    }
    FakeProfile empty;
    EXPECT_EQ(TIniFile(std::string(kFile), empty).ReadInteger("FormMain", "Oben", -5), -5);
}

TEST(IniFilesTest, ReadsAtMost1023CharactersFromTheHostsServiceByDefault)
{
    FakeProfile profile;
    ScopedHostService<platform::Profile> guard(profile, platform::ReplaceHostProfile);
    profile.Set(kFile, "FormMain", "Directory", "C:\\" + std::string(2000, 'a'));
    const TIniFile ini{std::string(kFile)};
    EXPECT_EQ(ini.FileName(), kFile);
    EXPECT_EQ(ini.ReadString("FormMain", "Directory", "C:\\"), "C:\\" + std::string(1020, 'a'));
    EXPECT_EQ(ini.ReadString("FormMain", "Fehlt", "C:\\"), "C:\\");
    EXPECT_EQ(profile.Calls(), (std::vector<std::string>{"read FormMain/Directory", "read FormMain/Fehlt"}));
}

TEST(IniFilesTest, WritesDecimalTextAndRaisesWithTheFullPathWhenTheServiceFails)
{
    FakeProfile profile;
    TIniFile ini(std::string(kFile), profile);
    ini.WriteInteger("FormMain", "Oben", -120);
    ini.WriteInteger("FormMain", "Links", 0);
    ini.WriteString("FormMain", "Directory", "C:\\Musik");
    EXPECT_EQ(profile.Calls(), (std::vector<std::string>{"write FormMain/Oben=-120", "write FormMain/Links=0",
                                                         "write FormMain/Directory=C:\\Musik"}));

    profile.SetWritable(false);
    try {
        ini.WriteInteger("FormMain", "Oben", 5);
        FAIL() << "no error raised";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Kann nicht nach C:\\Programme\\Quorvane\\quorvane.ini schreiben");
    }
    EXPECT_EQ(profile.Value(kFile, "FormMain", "Oben"), "-120");
}

}  // namespace
}  // namespace quorvane
