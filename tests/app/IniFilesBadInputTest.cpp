#include "app/IniFiles.h"

#include "platform/posix/DriveNameSpace.h"
#include "runtime/Exceptions.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

// Settings files that a crash, another program or a curious user left in a
// state the program never writes: it must start with its defaults, read
// what can be read, and never lose a byte of the file when it writes.
namespace quorvane {
namespace {

using testing::TempFolder;

// Every byte value, NULs and line ends included, but no line that starts a section.
std::string BinaryBlob()
{
    std::string blob;
    for (int round = 0; round < 16; ++round) {
        for (int byte = 0; byte < 256; ++byte) {
            if (byte != '[') blob += static_cast<char>(byte);
        }
    }
    return blob;
}

struct TDefaults {
    std::int32_t top;
    std::int32_t height;
    std::string directory;
};

TDefaults ReadDefaults(const TIniFile& ini)
{
    return {ini.ReadInteger("FormMain", "Oben", 0), ini.ReadInteger("FormMain", "Hoehe", 384),
            ini.ReadString("FormMain", "Directory", "C:\\")};
}

TEST(IniFilesBadInputTest, FilesWithoutTheSectionGiveTheDefaultsAndKeepEveryByteOnWriting)
{
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"binary", BinaryBlob()},
        {"only line ends", std::string(1000, '\n')},
        {"a line of 200,000 characters", "; " + std::string(200000, 'x')},
        {"another program's section", "[Andere]\nOben=5\nDirectory=D:\\\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        folder.CreateFile("quorvane.ini", c.content);
        TIniFile ini(folder.NameOf("quorvane.ini"));

        const TDefaults read = ReadDefaults(ini);
        EXPECT_EQ(read.top, 0);
        EXPECT_EQ(read.height, 384);
        EXPECT_EQ(read.directory, "C:\\");

        ini.WriteInteger("FormMain", "Oben", 7);
        ini.WriteString("FormMain", "Directory", "C:\\Musik");
        EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 0), 7);
        EXPECT_EQ(ini.ReadString("FormMain", "Directory", "C:\\"), "C:\\Musik");
        const std::string written = testing::FileContent(folder.Path() / "quorvane.ini");
        EXPECT_EQ(written.substr(0, c.content.size()), c.content);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"quorvane.ini"});
    }
}

// A settings file of megabytes is none the program wrote: reading it at
// every value would stall the start, so it gives the defaults and is left as
// it is (the program then keeps its settings in the user's own folder).
TEST(IniFilesBadInputTest, AHugeFileGivesTheDefaultsAndIsLeftAlone)
{
    TempFolder folder;
    // 50 MB of comments a tool might have appended, with the settings in the middle.
    const std::string comments = [] {
        std::string line = "; " + std::string(97, '-') + "\n";
        std::string text;
        text.reserve(25 * 1024 * 1024);
        while (text.size() < 25 * 1024 * 1024) text += line;
        return text;
    }();
    const std::string content = comments + "[FormMain]\nOben=12\nDirectory=C:\\Daten\n" + comments;
    folder.CreateFile("quorvane.ini", content);
    TIniFile ini(folder.NameOf("quorvane.ini"));

    EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 0), 0);
    EXPECT_EQ(ini.ReadString("FormMain", "Directory", "C:\\"), "C:\\");
    EXPECT_THROW(ini.WriteInteger("FormMain", "Oben", 345), Exception);
    EXPECT_TRUE(testing::FileContent(folder.Path() / "quorvane.ini") == content);
}

TEST(IniFilesBadInputTest, LongValuesAreCutOrGiveTheDefault)
{
    TempFolder folder;
    const std::string longFolder = "C:\\" + std::string(5000, 'a');
    folder.CreateFile("quorvane.ini", "[FormMain]\n"
                                      "Oben=" + std::string(400, '9') + "\n"
                                      "Links=" + std::string(400, '0') + "17\n"
                                      "Hoehe=$" + std::string(1100, '0') + "1F\n"
                                      "Breite=" + std::string(2000, ' ') + "640\n"
                                      "Directory=" + longFolder + "\n");
    const TIniFile ini(folder.NameOf("quorvane.ini"));

    EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 3), 3);
    EXPECT_EQ(ini.ReadInteger("FormMain", "Links", 3), 17);
    // The value is cut at 1,023 characters before it is converted, which
    // leaves only the zeros in front of the digits.
    EXPECT_EQ(ini.ReadInteger("FormMain", "Hoehe", 3), 0);
    EXPECT_EQ(ini.ReadInteger("FormMain", "Breite", 3), 640);
    EXPECT_EQ(ini.ReadString("FormMain", "Directory", "C:\\"), longFolder.substr(0, 1023));
}

TEST(IniFilesBadInputTest, DuplicateKeysAndSectionsReadTheFirstAndWriteOnlyIt)
{
    TempFolder folder;
    folder.CreateFile("quorvane.ini", "[FormMain]\r\n"
                                      "Oben=1\r\n"
                                      "oben=2\r\n"
                                      "[FORMMAIN]\r\n"
                                      "Oben=3\r\n"
                                      "Status=2\r\n");
    TIniFile ini(folder.NameOf("quorvane.ini"));

    EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 0), 1);
    // Only the first section counts, so a key of the second one is not read.
    EXPECT_EQ(ini.ReadInteger("FormMain", "Status", 0), 0);

    ini.WriteInteger("FormMain", "Oben", 9);
    ini.WriteInteger("FormMain", "Status", 1);
    EXPECT_EQ(testing::FileContent(folder.Path() / "quorvane.ini"), "[FormMain]\r\n"
                                                       "Oben=9\r\n"
                                                       "oben=2\r\n"
                                                       "Status=1\r\n"
                                                       "[FORMMAIN]\r\n"
                                                       "Oben=3\r\n"
                                                       "Status=2\r\n");
}

TEST(IniFilesBadInputTest, SomethingThatIsNoFileGivesTheDefaultsAndTheWriteError)
{
    TempFolder folder;
    folder.CreateFolder("quorvane.ini");
    const std::string path = folder.NameOf("quorvane.ini");
    TIniFile ini(path);

    EXPECT_EQ(ini.ReadInteger("FormMain", "Oben", 4), 4);
    EXPECT_EQ(ini.ReadString("FormMain", "Directory", "C:\\"), "C:\\");
    try {
        ini.WriteInteger("FormMain", "Oben", 1);
        ADD_FAILURE() << "no error raised";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Kann nicht nach " + path + " schreiben");
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "quorvane.ini"));
}

}  // namespace
}  // namespace quorvane
