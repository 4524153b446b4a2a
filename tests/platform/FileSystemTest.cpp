#include "platform/FileSystem.h"

#include "runtime/Exceptions.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// The system's own file system on a real temporary folder, on Linux and on
// Windows alike: the same calls must give the same entries and codes.
namespace quorvane::platform {
namespace {

using Listing = std::map<std::string, std::uint32_t>;

class FileSystemTest : public ::testing::Test {
protected:
    void TearDown() override { m_fs.SetCurrentDirectory(m_savedFolder); }

    std::string Name(std::string_view relative = {}) const
    {
        return relative.empty() ? m_temp.Name() : m_temp.Name() + "\\" + std::string(relative);
    }

    Listing List(std::string_view mask)
    {
        std::unique_ptr<FindHandle> find = m_fs.FindFirst(Name(mask));
        if (find == nullptr) return {{"<nothing>", 0}};
        Listing listing;
        FindEntry entry;
        while (find->Next(entry)) listing[entry.Name] = entry.Attributes;
        return listing;
    }

    testing::TempFolder m_temp;
    FileSystem& m_fs = NativeFileSystem();
    std::string m_savedFolder = m_fs.GetCurrentDirectory();
};

const std::string kLongName = "Ärger im Büro - Live-Mitschnitt vom 12. Mai 1999 (Zugabe).mp3";

TEST_F(FileSystemTest, ListsLongNamesWithTheirAttributes)
{
    m_temp.CreateFile(kLongName);
    m_temp.CreateFile("b.mp3");
    m_temp.CreateFile("notes.txt");
    m_temp.CreateFolder("Sammlung.mp3");

    EXPECT_EQ(List("*.mp3"), (Listing{{kLongName, faArchive}, {"b.mp3", faArchive}, {"Sammlung.mp3", faDirectory}}));
    const Listing all = List("*");
    EXPECT_EQ(all.size(), 6u);
    EXPECT_EQ(all.at("."), faDirectory);
    EXPECT_EQ(all.at(".."), faDirectory);
    EXPECT_EQ(List("Ä*"), (Listing{{kLongName, faArchive}}));
    EXPECT_EQ(List("missing\\*").begin()->first, "<nothing>");

    std::uint32_t attributes = 0;
    EXPECT_TRUE(m_fs.GetFileAttributes(Name("Sammlung.mp3"), attributes));
    EXPECT_EQ(attributes, faDirectory);
    EXPECT_TRUE(m_fs.FileExists(Name(kLongName)));
    EXPECT_FALSE(m_fs.FileExists(Name("Sammlung.mp3")));
    EXPECT_FALSE(m_fs.FileExists(Name("c.mp3")));
}

TEST_F(FileSystemTest, RenamesNeverReplaceAnExistingFile)
{
    m_temp.CreateFile("a.mp3", "a");
    m_temp.CreateFile("b.mp3", "b");
    EXPECT_EQ(m_fs.MoveFile(Name("a.mp3"), Name("b.mp3")), kErrorAlreadyExists);
    EXPECT_EQ(m_temp.Names(), (std::vector<std::string>{"a.mp3", "b.mp3"}));

    EXPECT_EQ(m_fs.MoveFile(Name("a.mp3"), Name("a.mp3")), kErrorSuccess);
    EXPECT_EQ(m_fs.MoveFile(Name("a.mp3"), Name(kLongName)), kErrorSuccess);
    EXPECT_EQ(m_fs.MoveFile(Name("missing.mp3"), Name("c.mp3")), kErrorFileNotFound);
    EXPECT_EQ(m_fs.MoveFile(Name("b.mp3"), Name("no\\c.mp3")), kErrorPathNotFound);
    EXPECT_EQ(m_temp.Names(), (std::vector<std::string>{"b.mp3", kLongName}));
}

// The preview tells a file's own entry from another one in the way by the
// identity of what a name leads to, and keeps new names within the folder's
// rules.
TEST_F(FileSystemTest, NamesLeadToTheIdentityOfTheirFileAndFoldersGiveTheirRules)
{
    m_temp.CreateFile("a.mp3", "a");
    m_temp.CreateFile("b.mp3", "b");
    m_temp.CreateFolder("Sammlung");
    FileIdentity a;
    FileIdentity b;
    FileIdentity folder;
    FileIdentity again;
    ASSERT_TRUE(m_fs.GetFileIdentity(Name("a.mp3"), a));
    ASSERT_TRUE(m_fs.GetFileIdentity(Name("b.mp3"), b));
    ASSERT_TRUE(m_fs.GetFileIdentity(Name("Sammlung"), folder));
    EXPECT_FALSE(m_fs.GetFileIdentity(Name("c.mp3"), again));
    EXPECT_TRUE(a.File != b.File || a.Volume != b.Volume);
    EXPECT_EQ(a.Links, 1u);

    ASSERT_EQ(m_fs.MoveFile(Name("a.mp3"), Name("c.mp3")), kErrorSuccess);
    ASSERT_TRUE(m_fs.GetFileIdentity(Name("c.mp3"), again));
    EXPECT_EQ(again.Volume, a.Volume);
    EXPECT_EQ(again.File, a.File);

    const FolderNameRules rules = m_fs.GetFolderNameRules(Name());
    EXPECT_GE(rules.MaxNameLength, kLongName.size());
    EXPECT_LE(rules.MaxNameLength, 255u);
    EXPECT_NE(rules.ForbiddenCharacters.find('\\'), std::string_view::npos);
    EXPECT_NE(rules.ForbiddenCharacters.find('/'), std::string_view::npos);
    EXPECT_TRUE(rules.Writable);
}

TEST_F(FileSystemTest, CurrentFolderChangesFailWithTheirCodesAndMessages)
{
    m_temp.CreateFolder("sub/deeper");
    m_temp.CreateFile("file.mp3");
    const struct {
        std::string Path;
        std::uint32_t Error;
        std::string Message;
    } failures[] = {
        {Name("missing"), kErrorFileNotFound, "Datei nicht gefunden"},
        {Name("missing\\deeper"), kErrorPathNotFound, "Ungültiger Dateiname"},
        {Name("file.mp3"), kErrorDirectory, "I/O-Fehler 267"},
        {Name("file.mp3\\x"), kErrorPathNotFound, "Ungültiger Dateiname"},
    };
    ASSERT_EQ(m_fs.SetCurrentDirectory(Name()), kErrorSuccess);
    for (const auto& failure : failures) {
        const std::uint32_t error = m_fs.SetCurrentDirectory(failure.Path);
        EXPECT_EQ(error, failure.Error) << failure.Path;
        EXPECT_EQ(EInOutError(error).Message(), failure.Message) << failure.Path;
        EXPECT_EQ(m_fs.GetCurrentDirectory(), Name());
    }

    EXPECT_EQ(m_fs.SetCurrentDirectory("sub\\deeper\\"), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name("sub\\deeper"));
    EXPECT_EQ(m_fs.SetCurrentDirectory(".."), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name("sub"));

    // Each drive keeps its own current folder, reached by the letter alone.
    const char drive = Name()[0];
    const std::string otherRoot = std::string(1, drive == 'C' ? 'Z' : 'C') + ":\\";
    if (m_fs.SetCurrentDirectory(otherRoot) != kErrorSuccess) {
        GTEST_SKIP() << "no second drive " << otherRoot << " to switch to";
    }
    EXPECT_EQ(m_fs.GetCurrentDirectory(), otherRoot);
    EXPECT_EQ(m_fs.SetCurrentDirectory(std::string(1, drive) + ":"), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), Name("sub"));
    EXPECT_EQ(m_fs.SetCurrentDirectory(otherRoot.substr(0, 2)), kErrorSuccess);
    EXPECT_EQ(m_fs.GetCurrentDirectory(), otherRoot);
}

}  // namespace
}  // namespace quorvane::platform
