#include "platform/Registry.h"

#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace quorvane::platform {
namespace {

using testing::ScopedEnvironment;
using testing::TempFolder;

constexpr const char* kMissing = "<missing>";
constexpr const char* kNoValue = "<no value>";

// The default value of a key below the root, read the way the launcher reads
// it, or one of the two markers above.
std::string ReadKey(std::string_view path, RegistryKey parent = kClassesRoot)
{
    Registry& registry = NativeRegistry();
    RegistryKey key = 0;
    if (registry.OpenKey(parent, path, key) != kRegistrySuccess) return kMissing;
    std::string value = kNoValue;
    std::uint32_t size = 0;
    if (registry.QueryDefaultValueSize(key, size) == kRegistrySuccess) {
        std::vector<char> buffer(size);
        EXPECT_EQ(registry.QueryDefaultValue(key, buffer.data(), size), kRegistrySuccess);
        EXPECT_EQ(size, buffer.size());
        EXPECT_EQ(buffer.back(), '\0');
        value = buffer.data();
    }
    EXPECT_EQ(registry.CloseKey(key), kRegistrySuccess);
    return value;
}

std::string Entry(std::string_view exec)
{
    return "[Desktop Entry]\nType=Application\nExec=" + std::string(exec) + "\n";
}

std::string DefaultList(std::string_view entries)
{
    return "[Default Applications]\ntext/html=" + std::string(entries) + "\n";
}

// Configuration and data folders of their own, so that the desktop of the
// machine running the tests plays no part.
class PosixRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string root = m_folder.Path().string();
        m_environment.Set("XDG_CONFIG_HOME", root + "/config");
        m_environment.Set("XDG_CONFIG_DIRS", root + "/etc1:" + root + "/etc2");
        m_environment.Set("XDG_DATA_HOME", root + "/data");
        m_environment.Set("XDG_DATA_DIRS", root + "/sys1:" + root + "/sys2");
        m_environment.Unset("XDG_CURRENT_DESKTOP");
    }

    TempFolder m_folder;
    ScopedEnvironment m_environment;
};

TEST_F(PosixRegistryTest, AnswersOnlyTheWebPageKeysAndTheCommandsOfEntries)
{
    m_folder.CreateFile("config/mimeapps.list",
                        "# chosen by the user\n[Added Associations]\ntext/html=other.desktop\n" +
                            DefaultList("gone.desktop;web.desktop;"));
    m_folder.CreateFile("data/applications/web.desktop",
                        "[Desktop Entry]\nName=Web\nExec = web\\s--flag=\"a b\" \\\\x %u\r\n"
                        "[Desktop Action New]\nExec=no\n");

    const std::pair<const char*, std::string> cases[] = {
        {".HTM", "web.desktop"},
        {".html", "web.desktop"},
        {".ShTmL", "web.desktop"},
        {".txt", kMissing},
        {".HTM\\shell\\open\\command", kMissing},
        {"web.desktop\\shell\\open\\command", "web --flag=\"a b\" \\x %u"},
        {"web.desktop\\SHELL\\Open\\command", "web --flag=\"a b\" \\x %u"},
        {"WEB.desktop\\shell\\open\\command", kMissing},
        {"gone.desktop\\shell\\open\\command", kMissing},
        {"web.desktop\\shell\\open\\command\\more", kMissing},
        {"web.desktop\\shell\\\\open\\command", kMissing},
        {"web.desktop", kNoValue},
        {"..\\shell\\open\\command", kMissing},
        {"", kNoValue},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(ReadKey(path), expected) << path;
    }

    // Opened step by step below an open key, as the launcher does for the
    // extension's own command key.
    Registry& registry = NativeRegistry();
    RegistryKey entry = 0;
    ASSERT_EQ(registry.OpenKey(kClassesRoot, "web.desktop\\shell", entry), kRegistrySuccess);
    EXPECT_EQ(ReadKey("open\\command", entry), "web --flag=\"a b\" \\x %u");
    EXPECT_EQ(registry.CloseKey(entry), kRegistrySuccess);
    EXPECT_EQ(registry.CloseKey(entry), kRegistryInvalidHandle);
    EXPECT_EQ(registry.OpenKey(entry, "open", entry), kRegistryInvalidHandle);

    // A buffer too small for the value and its NUL is refused, with the size it needs.
    ASSERT_EQ(registry.OpenKey(kClassesRoot, ".HTM", entry), kRegistrySuccess);
    char buffer[11];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(registry.QueryDefaultValue(entry, buffer, size), kRegistryMoreData);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(registry.CloseKey(entry), kRegistrySuccess);
}

TEST_F(PosixRegistryTest, PrefersTheUsersListsThenTheSystemsThenTheApplicationFolders)
{
    m_environment.Set("XDG_CURRENT_DESKTOP", "X-Test:GNOME");
    const std::vector<std::pair<std::string, std::string>> lists = {
        {"config/x-test-mimeapps.list", "a.desktop"}, {"config/gnome-mimeapps.list", "b.desktop"},
        {"config/mimeapps.list", "c.desktop"},        {"etc1/mimeapps.list", "d.desktop"},
        {"etc2/mimeapps.list", "e.desktop"},          {"data/applications/mimeapps.list", "f.desktop"},
        {"sys1/applications/mimeapps.list", "g.desktop"}, {"sys2/applications/mimeapps.list", "h.desktop"},
    };
    for (const auto& [list, entry] : lists) {
        m_folder.CreateFile(list, DefaultList(entry));
        m_folder.CreateFile("sys2/applications/" + entry, Entry(entry));
    }
    for (const auto& [list, entry] : lists) {
        EXPECT_EQ(ReadKey(".HTM"), entry);
        std::filesystem::remove(m_folder.Path() / list);
    }
    EXPECT_EQ(ReadKey(".HTM"), kMissing);
}

// Desktop settings that set "the default web browser" do not always write
// text/html; the browser the user chose for addresses counts before any that
// merely declares web pages, and the user's own list before the system's.
TEST_F(PosixRegistryTest, ReadsWebPagesFirstThenHttpsThenHttpAddresses)
{
    for (const char* entry : {"html.desktop", "https.desktop", "http.desktop", "added.desktop", "cached.desktop"}) {
        m_folder.CreateFile(std::string("sys2/applications/") + entry, Entry(entry));
    }
    struct TCase {
        std::string user;
        std::string system;
        std::string cache;
        const char* entry;
    };
    const std::string kDefaults = "[Default Applications]\n";
    const TCase cases[] = {
        {kDefaults + "x-scheme-handler/http=http.desktop", "", "", "http.desktop"},
        {kDefaults + "x-scheme-handler/http=http.desktop\nx-scheme-handler/https=https.desktop", "", "",
         "https.desktop"},
        {kDefaults + "x-scheme-handler/https=https.desktop\ntext/html=html.desktop", "", "", "html.desktop"},
        {kDefaults + "x-scheme-handler/http=http.desktop", kDefaults + "text/html=html.desktop", "", "http.desktop"},
        {"[Added Associations]\nx-scheme-handler/https=added.desktop", "",
         "[MIME Cache]\ntext/html=cached.desktop", "added.desktop"},
        // A removal counts for its own type only.
        {"[Removed Associations]\ntext/html=cached.desktop", "",
         "[MIME Cache]\ntext/html=cached.desktop\nx-scheme-handler/http=cached.desktop", "cached.desktop"},
        {"", "", "[MIME Cache]\nx-scheme-handler/https=https.desktop\nx-scheme-handler/http=http.desktop",
         "https.desktop"},
    };
    for (const TCase& test : cases) {
        m_folder.CreateFile("config/mimeapps.list", test.user);
        m_folder.CreateFile("etc1/mimeapps.list", test.system);
        m_folder.CreateFile("sys1/applications/mimeinfo.cache", test.cache);
        EXPECT_EQ(ReadKey(".HTM"), test.entry) << test.user << "|" << test.system << "|" << test.cache;
    }
}

TEST_F(PosixRegistryTest, TakesTheFirstInstalledEntryThatCanBeStarted)
{
    m_folder.CreateFile("config/mimeapps.list",
                        DefaultList("absent.desktop;hidden.desktop;noexec.desktop;masked.desktop;"
                                    "../evil.desktop;..-evil.desktop;plain;tryexec.desktop;terminal.desktop;"
                                    "kde-web.desktop;last.desktop"));
    m_folder.CreateFile("sys1/applications/hidden.desktop", Entry("hidden") + "Hidden=true\n");
    m_folder.CreateFile("sys1/applications/noexec.desktop", "[Desktop Entry]\nType=Application\n");
    m_folder.CreateFile("data/applications/masked.desktop", Entry("masked") + "Hidden=true\n");
    m_folder.CreateFile("sys1/applications/masked.desktop", Entry("masked"));
    m_folder.CreateFile("evil.desktop", Entry("evil"));
    m_folder.CreateFile("sys1/evil.desktop", Entry("evil"));
    m_folder.CreateFile("sys1/applications/plain", Entry("plain"));
    m_folder.CreateFile("sys2/applications/kde/web.desktop", Entry("kde-web %u"));
    m_folder.CreateFile("sys2/applications/last.desktop", Entry("last"));
    // A program that is only in the current folder, and a program for a
    // terminal where no terminal emulator is: neither can be started.
    m_folder.CreateFile("music/web", "#!/bin/sh\n");
    std::filesystem::permissions(m_folder.Path() / "music/web", std::filesystem::perms::owner_all);
    m_folder.CreateFolder("bin");
    m_environment.Set("PATH", ".:bin:" + (m_folder.Path() / "bin").string());
    const testing::ScopedCurrentFolder inMusic(m_folder.Path() / "music");
    m_folder.CreateFile("sys1/applications/tryexec.desktop", Entry("web %u") + "TryExec=web\n");
    m_folder.CreateFile("sys1/applications/terminal.desktop", Entry("lynx %u") + "Terminal=true\n");

    EXPECT_EQ(ReadKey(".HTM"), "kde-web.desktop");
    EXPECT_EQ(ReadKey("kde-web.desktop\\shell\\open\\command"), "kde-web %u");
    EXPECT_EQ(ReadKey("masked.desktop\\shell\\open\\command"), kMissing);
    EXPECT_EQ(ReadKey("tryexec.desktop\\shell\\open\\command"), kMissing);
    EXPECT_EQ(ReadKey("terminal.desktop\\shell\\open\\command"), kMissing);

    // Found in PATH, both count; the terminal emulator's path is quoted by
    // the rules of Exec lines.
    const std::filesystem::path bin = m_folder.CreateFolder("bin/$`\"\\");
    for (const char* program : {"web", "x-terminal-emulator"}) {
        m_folder.CreateFile("bin/$`\"\\/" + std::string(program), "#!/bin/sh\n");
        std::filesystem::permissions(bin / program, std::filesystem::perms::owner_all);
    }
    m_environment.Set("PATH", bin.string());
    const std::string quotedBin = "\"" + m_folder.Path().string() + "/bin/\\$\\`\\\"\\\\/";
    EXPECT_EQ(ReadKey(".HTM"), "tryexec.desktop");
    EXPECT_EQ(ReadKey("tryexec.desktop\\shell\\open\\command"), "web %u");
    EXPECT_EQ(ReadKey("terminal.desktop\\shell\\open\\command"), quotedBin + "x-terminal-emulator\" -e lynx %u");
}

// Each dash of an id may stand for a folder separator. Folders named like
// every reading of the dashes, linked back to their parent, once made the
// lookup try every reading; now it finds the entry, or that there is none,
// at once, and of several fitting files the one with the shorter folder
// name first wins.
TEST_F(PosixRegistryTest, FindsEntriesBehindDashesWithoutTryingEveryReading)
{
    const std::filesystem::path applications = m_folder.Path() / "data" / "applications";
    std::filesystem::create_directories(applications);
    std::string name = "x";
    for (int i = 0; i < 24; ++i, name += "-x") std::filesystem::create_directory_symlink(".", applications / name);
    m_folder.CreateFile("data/applications/a/b-c/d.desktop", Entry("abcd"));
    m_folder.CreateFile("data/applications/a-b/c/d.desktop", Entry("later"));
    m_folder.CreateFile("data/applications/x/y.desktop", Entry("xy"));

    const std::pair<std::string, std::string> cases[] = {
        {"a-b-c-d.desktop", "abcd"},
        {name + "-y.desktop", "xy"},
        {name + "-z.desktop", kMissing},
        {name + "-" + name + "-" + name + "-x-a-b-c-d.desktop", "abcd"},
        {"x-..-x-y.desktop", kMissing},
    };
    for (const auto& [id, command] : cases) {
        EXPECT_EQ(ReadKey(id + "\\shell\\open\\command"), command) << id;
    }
}

TEST_F(PosixRegistryTest, FallsBackToAddedAssociationsThenToTheSystemsCache)
{
    for (const char* entry : {"added.desktop", "removed.desktop", "cached.desktop", "late.desktop"}) {
        m_folder.CreateFile(std::string("sys2/applications/") + entry, Entry(entry));
    }
    m_folder.CreateFile("config/mimeapps.list", "[Removed Associations]\ntext/html=removed.desktop;\n"
                                                "[Default Applications]\nimage/png=added.desktop\n");
    m_folder.CreateFile("etc1/mimeapps.list", "[Added Associations]\ntext/html=removed.desktop;added.desktop;\n");
    m_folder.CreateFile("sys1/applications/mimeinfo.cache",
                        "[MIME Cache]\ntext/html=removed.desktop;cached.desktop;\n");
    EXPECT_EQ(ReadKey(".HTM"), "added.desktop");

    // A list removes only what lists of its own or of less preferred folders
    // added.
    m_folder.CreateFile("config/mimeapps.list", "[Added Associations]\ntext/html=late.desktop;\n"
                                                "[Removed Associations]\ntext/html=late.desktop;added.desktop\n");
    m_folder.CreateFile("etc1/mimeapps.list", "[Removed Associations]\ntext/html=cached.desktop\n");
    m_folder.CreateFile("etc2/mimeapps.list", "[Added Associations]\ntext/html=added.desktop;removed.desktop\n");
    EXPECT_EQ(ReadKey(".HTM"), "removed.desktop");

    std::filesystem::remove(m_folder.Path() / "etc2/mimeapps.list");
    std::filesystem::remove(m_folder.Path() / "etc1/mimeapps.list");
    std::filesystem::remove(m_folder.Path() / "config/mimeapps.list");
    EXPECT_EQ(ReadKey(".HTM"), "removed.desktop");
    std::filesystem::remove(m_folder.Path() / "sys2/applications/removed.desktop");
    EXPECT_EQ(ReadKey(".HTM"), "cached.desktop");
}

// The mail program is found by the browser's rules, for mailto: links alone.
TEST_F(PosixRegistryTest, NamesTheMailProgramOfMailLinks)
{
    for (const char* entry : {"mail.desktop", "added.desktop", "cached.desktop", "web.desktop"}) {
        m_folder.CreateFile(std::string("sys2/applications/") + entry, Entry(std::string(entry) + " %u"));
    }
    m_folder.CreateFile("sys1/applications/mimeinfo.cache", "[MIME Cache]\nx-scheme-handler/mailto=cached.desktop\n");
    const std::pair<std::string, const char*> cases[] = {
        {DefaultList("web.desktop"), "cached.desktop"},
        {"[Default Applications]\nx-scheme-handler/mailto=gone.desktop;mail.desktop\n", "mail.desktop"},
        {"[Added Associations]\nx-scheme-handler/mailto=added.desktop\n", "added.desktop"},
        {"[Removed Associations]\nx-scheme-handler/mailto=cached.desktop\n", kMissing},
    };
    for (const auto& [list, entry] : cases) {
        m_folder.CreateFile("config/mimeapps.list", list);
        EXPECT_EQ(ReadKey("mailto"), entry) << list;
        EXPECT_EQ(ReadKey("MailTo"), entry) << list;
    }
    EXPECT_EQ(ReadKey("mailto\\shell\\open\\command"), kMissing);
    EXPECT_EQ(ReadKey("mail.desktop\\shell\\open\\command"), "mail.desktop %u");
    EXPECT_EQ(ReadKey(".HTM"), kMissing) << "a mail program opens no web pages";
}

TEST_F(PosixRegistryTest, UsesTheHomeFolderWhereTheUserFoldersAreUnsetOrRelative)
{
    const std::string home = (m_folder.Path() / "home").string();
    m_environment.Set("HOME", home);
    m_environment.Set("XDG_CONFIG_HOME", "relative/config");
    m_environment.Unset("XDG_DATA_HOME");
    m_folder.CreateFile("relative/config/mimeapps.list", DefaultList("wrong.desktop"));
    m_folder.CreateFile("home/.config/mimeapps.list", DefaultList("wrong.desktop;home.desktop"));
    m_folder.CreateFile("home/.local/share/applications/home.desktop", Entry("home"));
    m_folder.CreateFile("sys1/applications/wrong.desktop", Entry("wrong") + "Hidden=false\n");
    m_folder.CreateFile("home/.local/share/applications/wrong.desktop", Entry("wrong") + "Hidden=true\n");
    EXPECT_EQ(ReadKey(".HTML"), "home.desktop");
    EXPECT_EQ(ReadKey("home.desktop\\shell\\open\\command"), "home");
}

}  // namespace
}  // namespace quorvane::platform
