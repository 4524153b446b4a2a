#include "app/IniFiles.h"

#include "runtime/Exceptions.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The settings file through the system's own private-profile functions.
namespace quorvane {
namespace {

using testing::TempFolder;

TEST(IniFilesWin32Test, SettingsReadBackAsTheyWereWritten)
{
    TempFolder folder;
    const std::string path = folder.Name() + "\\quorvane.ini";
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString("FormMain", "Directory", "C:\\"), "C:\\");
        EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 100), 100);
        EXPECT_FALSE(folder.Exists("quorvane.ini"));
        for (int top : {10, -20}) {
            ini.WriteInteger("FormMain", "Oben", top);
            ini.WriteInteger("FormMain", "Status", 2);
            ini.WriteString("FormMain", "Directory", "C:\\Musik\\Ärzte - Live");
        }
        ini.WriteString("FormMain", "Leer", "");
    }
    EXPECT_EQ(testing::FileContent(folder.Path() / "quorvane.ini"),
              "[FormMain]\r\nOben=-20\r\nStatus=2\r\nDirectory=C:\\Musik\\Ärzte - Live\r\nLeer=\r\n");

    const TIniFile again(path);
    EXPECT_EQ(again.ReadInteger("formmain", "OBEN", 0), -20);
    EXPECT_EQ(again.ReadString("FormMain", "Directory", "C:\\"), "C:\\Musik\\Ärzte - Live");
    EXPECT_EQ(again.ReadString("FormMain", "Leer", "C:\\"), "");
    EXPECT_EQ(again.ReadString("FormMain", "Hoehe", "C:\\  "), "C:\\");
    EXPECT_EQ(again.ReadString("Andere", "Oben", "x"), "x");
    EXPECT_EQ(again.ReadString("FormMain", "Directory", std::string(2000, 'd')), "C:\\Musik\\Ärzte - Live");
}

TEST(IniFilesWin32Test, AFileThatCannotBeWrittenRaisesWithTheFullPath)
{
    TempFolder folder;
    folder.CreateFile("datei", "kein Ordner");
    for (std::string_view name : {"fehlt\\quorvane.ini", "datei\\quorvane.ini"}) {
        const std::string path = folder.Name() + "\\" + std::string(name);
        TIniFile ini(path);
        try {
            ini.WriteInteger("FormMain", "Oben", 2);
            ADD_FAILURE() << "no error raised for " << path;
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), "Kann nicht nach " + path + " schreiben");
        }
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"datei"}));
    EXPECT_EQ(testing::FileContent(folder.Path() / "datei"), "kein Ordner");
}

}  // namespace
}  // namespace quorvane
