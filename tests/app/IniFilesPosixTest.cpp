#include "app/IniFiles.h"

#include "platform/posix/DriveNameSpace.h"
#include "runtime/Exceptions.h"
#include "tests/support/FakeSettingsFolders.h"
#include "tests/support/HostOverride.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quorvane {
namespace {

using testing::TempFolder;

TEST(IniFilesPosixTest, ReadsTheSettingsAsAUserMayHaveWrittenThem)
{
    TempFolder folder;
    folder.CreateFile("quorvane.ini",
                      "[formmain]\r\n"
                      "  OBEN =  0x10  \r\n"
                      "Breite=2147483648\r\n"
                      "Directory=\r\n");
    const TIniFile ini(folder.NameOf("quorvane.ini"));
    EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 0), 16);
    EXPECT_EQ(ini.ReadInteger("FormMain", "Breite", 512), 512);
    EXPECT_EQ(ini.ReadString("FormMain", "Directory", "C:\\"), "");

    const TIniFile missing(folder.NameOf("fehlt.ini"));
    EXPECT_EQ(missing.ReadString("FormMain", "Directory", "C:\\"), "C:\\");
    EXPECT_EQ(missing.ReadInteger("FormMain", "Oben", 0), 0);
    EXPECT_FALSE(folder.Exists("fehlt.ini"));
}

TEST(IniFilesPosixTest, ClosingTwiceOverwritesTheKeysInsteadOfAddingThem)
{
    TempFolder folder;
    TIniFile ini(folder.NameOf("quorvane.ini"));
    for (int top : {10, 20}) {
        ini.WriteString("FormMain", "Directory", "C:\\Musik");
        ini.WriteInteger("FormMain", "Status", 0);
        ini.WriteInteger("FormMain", "Oben", top);
    }
    EXPECT_EQ(testing::FileContent(folder.Path() / "quorvane.ini"), "[FormMain]\nDirectory=C:\\Musik\nStatus=0\nOben=20\n");
    EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 0), 20);
}

TEST(IniFilesPosixTest, AFolderThatCannotBeWrittenRaisesWithTheFullPath)
{
    TempFolder folder;
    folder.CreateFile("datei", "kein Ordner");
    for (std::string_view name : {"fehlt\\quorvane.ini", "datei\\quorvane.ini"}) {
        const std::string path = folder.NameOf(name);
        TIniFile ini(path);
        try {
            ini.WriteInteger("FormMain", "Oben", 1);
            ADD_FAILURE() << "no error raised for " << path;
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), "Kann nicht nach " + path + " schreiben");
        }
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"datei"});
}

// An executable in a folder it cannot write keeps its settings in
// $XDG_CONFIG_HOME/quorvane, made on the first write and not before; where
// that folder cannot be made either, the write fails with its full path.
TEST(IniFilesPosixTest, TheUsersSettingsFolderIsMadeOnTheFirstWrite)
{
    TempFolder folder;
    const auto program = folder.CreateFolder("programm");
    folder.CreateFile("datei", "kein Ordner");
    testing::FakeSettingsFolders folders;
    testing::ScopedHostService<platform::SettingsFolders> guard(folders, platform::ReplaceHostSettingsFolders);
    folders.ReadOnly.insert(folder.NameOf("programm"));
    testing::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", (folder.Path() / "config").string());

    const std::string settings = SettingsFileFor(folder.NameOf("programm\\quorvane"));
    ASSERT_EQ(settings, folder.NameOf("config\\quorvane\\quorvane.ini"));
    TIniFile ini(settings);
    EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 7), 7);
    EXPECT_FALSE(folder.Exists("config")) << "reading makes no folder";
    ini.WriteInteger("FormMain", "Oben", 42);
    EXPECT_EQ(testing::FileContent(folder.Path() / "config" / "quorvane" / "quorvane.ini"), "[FormMain]\nOben=42\n");
    EXPECT_EQ(TIniFile(settings).ReadInteger("FormMain", "Oben", 7), 42);
    EXPECT_TRUE(std::filesystem::is_empty(program));

    environment.Set("XDG_CONFIG_HOME", (folder.Path() / "datei").string());
    const std::string blocked = SettingsFileFor(folder.NameOf("programm\\quorvane"));
    try {
        TIniFile(blocked).WriteInteger("FormMain", "Oben", 1);
        ADD_FAILURE() << "no error raised for " << blocked;
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Kann nicht nach " + folder.NameOf("datei\\quorvane\\quorvane.ini") + " schreiben");
    }
}

}  // namespace
}  // namespace quorvane
