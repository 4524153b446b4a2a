#include "engine/UndoRecord.h"

#include "tests/support/RealFileSystems.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

// The file systems music collections live on mostly keep no birth time that
// Linux sees; there the undo knows a file by its number, change time and
// size. A file put in the place of one the run renamed, with the same name,
// size and content, must stay where it is.
namespace quorvane {
namespace {

using ::testing::FieldsAre;
using ::testing::UnorderedElementsAre;
using testing::MountedFileSystem;

class UndoRecordRealFileSystemsTest : public ::testing::TestWithParam<testing::RealFileSystemKind> {};

TEST_P(UndoRecordRealFileSystemsTest, AFileOfTheSameSizeAndContentInAFilesPlaceStays)
{
    MountedFileSystem mounted(GetParam());
    if (mounted.Status() == MountedFileSystem::State::Skipped) GTEST_SKIP() << mounted.Reason();
    ASSERT_EQ(mounted.Status(), MountedFileSystem::State::Mounted) << mounted.Reason();
    const std::filesystem::path folder = mounted.Path() / "Musik";
    std::filesystem::create_directory(folder);
    std::ofstream(folder / "a - b - c.mp3") << "first";
    std::ofstream(folder / "d - e - f.mp3") << "second";

    RenameSettings settings;
    settings.Folder = mounted.Name() + "\\Musik";
    ResultList rows;
    UndoRecord record;
    UndoRecordingTable table(rows, record, settings.Folder);
    RunBatch(settings, true, table);
    std::filesystem::remove(folder / "D - F - E.mp3");
    std::ofstream(folder / "D - F - E.mp3") << "second";

    UndoRenames(record, rows);
    EXPECT_THAT(rows.Rows(), UnorderedElementsAre(FieldsAre("Ok", "A - C - B.mp3", "a - b - c.mp3"),
                                                  FieldsAre("Fehler", "D - F - E.mp3", "d - e - f.mp3")));
    EXPECT_TRUE(std::filesystem::exists(folder / "D - F - E.mp3"));
    EXPECT_FALSE(std::filesystem::exists(folder / "d - e - f.mp3"));
}

INSTANTIATE_TEST_SUITE_P(, UndoRecordRealFileSystemsTest, ::testing::ValuesIn(testing::AllRealFileSystems()),
                         [](const auto& info) { return std::string(testing::NameOf(info.param)); });

}  // namespace
}  // namespace quorvane
