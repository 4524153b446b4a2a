#include "engine/UndoRecord.h"

#include "tests/support/RealFileSystems.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

// The undo on the file systems music collections live on. Most of them keep
// no birth time that Linux sees, so a file is known there by its number, its
// change time and its size: an unchanged file must still go back, and a new
// file under the new name must not.
namespace quorvane {
namespace {

namespace fs = std::filesystem;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::FieldsAre;
using testing::MountedFileSystem;
using testing::RealFileSystemKind;

std::map<std::string, std::string> Contents(const fs::path& folder)
{
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        contents[entry.path().filename().string()] = testing::FileContent(entry.path());
    }
    return contents;
}

class UndoRecordRealFileSystemsTest : public ::testing::TestWithParam<RealFileSystemKind> {};

TEST_P(UndoRecordRealFileSystemsTest, UnchangedFilesGoBackAndANewcomerStays)
{
    MountedFileSystem mounted(GetParam());
    if (mounted.Status() == MountedFileSystem::State::Skipped) GTEST_SKIP() << mounted.Reason();
    ASSERT_EQ(mounted.Status(), MountedFileSystem::State::Mounted) << mounted.Reason();
    const fs::path folder = mounted.Path() / "Musik";
    fs::create_directory(folder);
    const std::map<std::string, std::string> before = {
        {"a - b - c.mp3", "first"}, {"d - e - f.mp3", "second"}, {"g - h - i.mp3", "third"}};
    for (const auto& [name, content] : before) std::ofstream(folder / name, std::ios::binary) << content;

    RenameSettings settings;
    settings.Folder = mounted.Name() + "\\Musik";
    UndoStack stack;
    for (int run = 0; run < 2; ++run) {
        ResultList rows;
        UndoRecord record;
        UndoRecordingTable table(rows, record, settings.Folder);
        RunBatch(settings, true, table);
        ASSERT_THAT(rows.Rows(), Each(Field(&ResultRow::Status, "Ok")));
        stack.Push(std::move(record));
    }
    // The second run brought the sections back into their order. Another
    // program puts a file of the same size and content in one file's place.
    fs::remove(folder / "G - H - I.mp3");
    std::ofstream(folder / "G - H - I.mp3", std::ios::binary) << "third";

    ResultList rows;
    stack.UndoNewest(rows);
    std::map<std::string, std::string> statuses;
    for (const ResultRow& row : rows.Rows()) statuses[row.OldName] = row.Status;
    EXPECT_EQ(statuses, (std::map<std::string, std::string>{
                            {"A - B - C.mp3", "Ok"}, {"D - E - F.mp3", "Ok"}, {"G - H - I.mp3", "Fehler"}}));
    const std::map<std::string, std::string> after = {
        {"A - C - B.mp3", "first"}, {"D - F - E.mp3", "second"}, {"G - H - I.mp3", "third"}};
    EXPECT_EQ(Contents(folder), after);
    EXPECT_EQ(stack.Size(), 2u) << "the run keeps the file that did not go back";

    // A change of case only, which a file system that ignores case finds
    // as the file itself under its other spelling.
    fs::create_directory(mounted.Path() / "Fall");
    std::ofstream(mounted.Path() / "Fall" / "m - n - n.mp3", std::ios::binary) << "fourth";
    settings.Folder = mounted.Name() + "\\Fall";
    ResultList runRows;
    UndoRecord record;
    UndoRecordingTable table(runRows, record, settings.Folder);
    RunBatch(settings, true, table);
    ASSERT_THAT(runRows.Rows(), ElementsAre(FieldsAre("Ok", "m - n - n.mp3", "M - N - N.mp3")));
    stack.Push(std::move(record));
    stack.UndoNewest(rows);
    EXPECT_THAT(rows.Rows(), ElementsAre(FieldsAre("Ok", "M - N - N.mp3", "m - n - n.mp3")));
    EXPECT_EQ(Contents(mounted.Path() / "Fall"), (std::map<std::string, std::string>{{"m - n - n.mp3", "fourth"}}));
}

INSTANTIATE_TEST_SUITE_P(, UndoRecordRealFileSystemsTest, ::testing::ValuesIn(testing::AllRealFileSystems()),
                         [](const auto& info) { return std::string(testing::NameOf(info.param)); });

}  // namespace
}  // namespace quorvane
