#include "engine/BatchRun.h"

#include "engine/SectionNormaliser.h"
#include "platform/posix/DriveNameSpace.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorvane {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Statuses(const ResultList& rows)
{
    std::vector<std::string> statuses;
    for (const ResultRow& row : rows.Rows()) statuses.push_back(row.Status + " " + row.OldName + " > " + row.NewName);
    std::sort(statuses.begin(), statuses.end());
    return statuses;
}

// Batch runs on real temporary folders through the system's own file and
// text services, named in the drive-letter space as the main window names them.
class BatchRunFolderTest : public ::testing::Test {
protected:
    BatchRunFolderTest()
    {
        const std::optional<std::string> name = platform::posix::FromUnixPath(m_folder.Path().string());
        if (name) m_settings.Folder = *name;
    }

    void SetUp() override { ASSERT_FALSE(m_settings.Folder.empty()) << m_folder.Path(); }

    testing::TempFolder m_folder;
    RenameSettings m_settings;
    ResultList m_rows;
};

TEST_F(BatchRunFolderTest, ExecuteRunRenamesInPlaceAndNeverReplacesAFile)
{
    m_folder.CreateFile("alpha - beta - gamma.mp3", "first");
    m_folder.CreateFile("alpha - beta - GAMMA.mp3", "second");
    m_folder.CreateFile(".hidden - read - only.MP3", "hidden");
    std::filesystem::permissions(m_folder.Path() / ".hidden - read - only.MP3", std::filesystem::perms::owner_read);
    m_folder.CreateFile("no sections.mp3");
    m_folder.CreateFile("other - kind - of.txt");
    m_folder.CreateFolder("folder - that - matches.mp3");

    RunBatch(m_settings, true, m_rows);

    // The order is the file system's; which of the two same-named files wins is too.
    const std::vector<std::string> statuses = Statuses(m_rows);
    ASSERT_EQ(4u, statuses.size());
    EXPECT_EQ("-- no sections.mp3 > ", statuses[0]);
    EXPECT_EQ("Ok .hidden - read - only.MP3 > .hidden - Only - Read.MP3", statuses[2]);
    const bool firstWon = statuses[3] == "Ok alpha - beta - gamma.mp3 > Alpha - Gamma - Beta.mp3";
    if (!firstWon) {
        EXPECT_EQ("Ok alpha - beta - GAMMA.mp3 > Alpha - Gamma - Beta.mp3", statuses[3]);
    }
    EXPECT_EQ(firstWon ? "Fehler alpha - beta - GAMMA.mp3 > Alpha - Gamma - Beta.mp3"
                       : "Fehler alpha - beta - gamma.mp3 > Alpha - Gamma - Beta.mp3",
              statuses[1]);
    EXPECT_EQ(firstWon ? "first" : "second", testing::FileContent(m_folder.Path() / "Alpha - Gamma - Beta.mp3"));
    EXPECT_THAT(m_folder.Names(),
                ElementsAre(".hidden - Only - Read.MP3", "Alpha - Gamma - Beta.mp3",
                            firstWon ? "alpha - beta - GAMMA.mp3" : "alpha - beta - gamma.mp3",
                            "folder - that - matches.mp3", "no sections.mp3", "other - kind - of.txt"));
}

// An immutable file keeps its name, and the preview says so, at the cost of
// one look at each file the preview would otherwise call "Ok".
TEST_F(BatchRunFolderTest, AnImmutableFileIsFehlerInThePreviewAsInTheRun)
{
    const std::filesystem::path locked = m_folder.CreateFile("a - b - c.mp3");
    m_folder.CreateFile("d - e - f.mp3");
    const int descriptor = ::open(locked.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    const bool set = descriptor >= 0 && ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0 &&
        (flags |= FS_IMMUTABLE_FL, ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0);
    if (!set) {
        if (descriptor >= 0) ::close(descriptor);
        GTEST_SKIP() << "this file system or process sets no immutable flag";
    }
    const std::vector<std::string> expected = {"Fehler a - b - c.mp3 > A - C - B.mp3", "Ok d - e - f.mp3 > D - F - E.mp3"};
    RunBatch(m_settings, false, m_rows);
    EXPECT_EQ(expected, Statuses(m_rows));
    RunBatch(m_settings, true, m_rows);
    EXPECT_EQ(expected, Statuses(m_rows));
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags);
    ::close(descriptor);
}

TEST_F(BatchRunFolderTest, NameThatIsNoValidUtf8IsRenamedByteExact)
{
    const std::string oldName = "caf\xE9 - b\xFF\xFE - ok.mp3";
    const std::string newName = "Caf\xE9 - Ok - B\xFF\xFE.mp3";
    m_folder.CreateFile(oldName, "latin-1");

    RunBatch(m_settings, false, m_rows);
    EXPECT_THAT(m_rows.Rows(), ElementsAre(::testing::FieldsAre("Ok", oldName, newName)));
    EXPECT_THAT(m_folder.Names(), ElementsAre(oldName));

    RunBatch(m_settings, true, m_rows);
    EXPECT_THAT(m_rows.Rows(), ElementsAre(::testing::FieldsAre("Ok", oldName, newName)));
    EXPECT_THAT(m_folder.Names(), ElementsAre(newName));
    EXPECT_EQ("latin-1", testing::FileContent(m_folder.Path() / newName));
}

TEST_F(BatchRunFolderTest, CaseOnlyRenameHappensOnceAndTestRunsTouchNothing)
{
    m_settings.StructureChange = false;
    m_folder.CreateFile("\xC3\xBC" "ber alles.mp3");

    RunBatch(m_settings, false, m_rows);
    EXPECT_THAT(m_folder.Names(), ElementsAre("\xC3\xBC" "ber alles.mp3"));
    RunBatch(m_settings, true, m_rows);
    EXPECT_THAT(m_rows.Rows(),
                ElementsAre(::testing::FieldsAre("Ok", "\xC3\xBC" "ber alles.mp3", "\xC3\x9C" "ber Alles.mp3")));
    EXPECT_THAT(m_folder.Names(), ElementsAre("\xC3\x9C" "ber Alles.mp3"));
}

TEST(SectionNormaliserHostTest, UmlautsChangeCaseThroughTheSystemTextService)
{
    const NormaliseOptions all;
    EXPECT_EQ("\xC3\x9C" "ber \xC3\x96l-\xC3\x84rger (\xC3\x89t\xC3\xA9)",
              NormaliseSection("\xC3\xBC" "BER \xC3\xB6L-\xC3\xA4RGER (\xC3\xA9T\xC3\x89)", all));
    EXPECT_EQ("Stra\xC3\x9F" "e", NormaliseSection("STRA\xC3\x9F" "E", all));
}

}  // namespace
}  // namespace quorvane
