#include "engine/UndoRecord.h"

#include "platform/posix/DriveNameSpace.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

// The undo on real folders that others changed after the run: it renames
// back only the very files the run renamed, in the run's very folder, and
// says "Fehler" for the rest with nothing moved; runs are undone newest
// first, and a run stays until every file of it is back.
namespace quorvane {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::FieldsAre;
using ::testing::UnorderedElementsAre;
using Tree = std::map<std::string, std::string>;

// Everything below `root`, links with their targets, so a test sees any move.
Tree TreeOf(const fs::path& root)
{
    Tree tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        tree[entry.path().lexically_relative(root).string()] = entry.is_symlink() ? fs::read_symlink(entry).string()
            : entry.is_directory()                                                 ? "<folder>"
                                                                                   : testing::FileContent(entry);
    }
    return tree;
}

class UndoRecordPosixTest : public ::testing::Test {
protected:
    UndoRecordPosixTest() { Fill(); }

    // The run's folder with two files in it, and nothing else.
    void Fill()
    {
        fs::remove_all(m_root.Path() / "Sammlung");
        m_root.CreateFile("Sammlung/Musik/a - b - c.mp3", "first");
        m_root.CreateFile("Sammlung/Musik/d - e - f.mp3", "second");
        m_settings.Folder = m_root.NameOf("Sammlung\\Musik");
    }

    fs::path Music() const { return m_root.Path() / "Sammlung" / "Musik"; }

    void Execute()
    {
        ResultList rows;
        UndoRecord run;
        UndoRecordingTable table(rows, run, m_settings.Folder);
        RunBatch(m_settings, true, table);
        m_stack.Push(std::move(run));
    }

    std::vector<ResultRow> Undo()
    {
        ResultList rows;
        m_stack.UndoNewest(rows);
        return rows.Rows();
    }

    testing::TempFolder m_root;
    RenameSettings m_settings;
    UndoStack m_stack;
};

TEST_F(UndoRecordPosixTest, WhatTheRunDidNotRenameIsLeftAloneAndSaysFehler)
{
    const fs::path root = m_root.Path();
    const fs::path music = Music();
    const fs::path renamed = music / "A - C - B.mp3";
    const std::pair<const char*, std::function<void()>> cases[] = {
        // On ext4 the new file mostly gets the deleted one's number at once.
        {"a new file under the new name", [&] { fs::remove(renamed), std::ofstream(renamed) << "first"; }},
        {"a folder under the new name", [&] { fs::remove(renamed), fs::create_directory(renamed); }},
        // The very file, moved into a fresh folder of the run folder's path.
        {"the folder replaced", [&] {
             fs::rename(music, root / "Alt"), fs::create_directory(music);
             fs::rename(root / "Alt" / "A - C - B.mp3", renamed);
         }},
        {"the folder turned into a link to itself", [&] {
             fs::rename(music, root / "Alt"), fs::create_directory_symlink("../Alt", music);
         }},
        {"a folder on the way turned into a link", [&] {
             fs::rename(root / "Sammlung", root / "Alt"), fs::create_directory_symlink("Alt", root / "Sammlung");
         }},
    };
    for (const auto& [situation, act] : cases) {
        SCOPED_TRACE(situation);
        fs::remove_all(root / "Alt");
        Fill();
        fs::remove(music / "d - e - f.mp3");
        Execute();
        act();
        const Tree before = TreeOf(root);
        EXPECT_THAT(Undo(), ElementsAre(FieldsAre("Fehler", "A - C - B.mp3", "a - b - c.mp3")));
        EXPECT_EQ(TreeOf(root), before);
        EXPECT_EQ(m_stack.Size(), 1u) << "the run stays, to be tried again";
        m_stack = {};
    }
}

// A file that cannot go back keeps its run on top until the obstacle is
// gone; then the run before follows.
TEST_F(UndoRecordPosixTest, RunsAreUndoneNewestFirstAndAFailedRowIsTriedAgain)
{
    Execute();
    Execute();  // the map 1, 3, 2 twice: the sections in their order again
    m_root.CreateFile("Sammlung/Musik/A - C - B.mp3", "obstacle");
    EXPECT_THAT(Undo(), UnorderedElementsAre(FieldsAre("Ok", "D - E - F.mp3", "D - F - E.mp3"),
                                             FieldsAre("Fehler", "A - B - C.mp3", "A - C - B.mp3")));
    fs::remove(Music() / "A - C - B.mp3");
    EXPECT_EQ(m_stack.Size(), 2u);
    EXPECT_THAT(Undo(), ElementsAre(FieldsAre("Ok", "A - B - C.mp3", "A - C - B.mp3")));
    EXPECT_THAT(Undo(), UnorderedElementsAre(FieldsAre("Ok", "D - F - E.mp3", "d - e - f.mp3"),
                                             FieldsAre("Ok", "A - C - B.mp3", "a - b - c.mp3")));
    EXPECT_TRUE(m_stack.Empty());
    EXPECT_EQ(TreeOf(Music()), (Tree{{"a - b - c.mp3", "first"}, {"d - e - f.mp3", "second"}}));
}

// A run in a folder reached through links is undone in the folder itself,
// whatever the links' targets look like.
TEST_F(UndoRecordPosixTest, AFolderReachedThroughLinksIsUndoneThere)
{
    m_root.CreateFolder("Weiter");
    fs::create_directory_symlink("..", m_root.Path() / "Weiter" / "Hoch");
    m_settings.Folder = m_root.NameOf("Weiter\\Hoch\\Link");
    const std::string here = m_root.Path().filename().string();
    const std::string targets[] = {Music().string(), "Sammlung/Musik", "../" + here + "/./Weiter/../Sammlung/Musik"};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        fs::remove(m_root.Path() / "Link");
        fs::create_directory_symlink(target, m_root.Path() / "Link");
        Execute();
        EXPECT_THAT(Undo(), UnorderedElementsAre(FieldsAre("Ok", "D - F - E.mp3", "d - e - f.mp3"),
                                                 FieldsAre("Ok", "A - C - B.mp3", "a - b - c.mp3")));
    }
}

// Reached one component at a time, a folder deeper than the system's limit
// for a whole path is undone too.
TEST_F(UndoRecordPosixTest, AFolderBeyondThePathLimitIsUndoneToo)
{
    const std::string component(200, 'x');
    int folder = ::open(m_root.Path().c_str(), O_PATH | O_DIRECTORY);
    std::string unixPath = m_root.Path().string();
    for (; unixPath.size() <= PATH_MAX; unixPath += "/" + component) {
        ASSERT_EQ(::mkdirat(folder, component.c_str(), 0700), 0);
        const int inner = ::openat(folder, component.c_str(), O_PATH | O_DIRECTORY);
        ::close(std::exchange(folder, inner));
    }
    ASSERT_EQ(::close(::openat(folder, "a - b - c.mp3", O_CREAT | O_WRONLY, 0600)), 0);

    ResultList rows;  // the rename as a run in that folder reports it
    UndoRecord run;
    UndoRecordingTable table(rows, run, *platform::posix::FromUnixPath(unixPath));
    table.Start();
    ASSERT_EQ(::renameat(folder, "a - b - c.mp3", folder, "A - C - B.mp3"), 0);
    table.Add({"Ok", "a - b - c.mp3", "A - C - B.mp3"});
    table.Finish();
    m_stack.Push(std::move(run));
    EXPECT_THAT(Undo(), ElementsAre(FieldsAre("Ok", "A - C - B.mp3", "a - b - c.mp3")));
    EXPECT_EQ(::faccessat(folder, "a - b - c.mp3", F_OK, 0), 0);
    ::close(folder);
}

// Volume and number alone do not make a file: the birth time, or where
// there is none the change time and the size, must match as well.
TEST(UndoRecordStampTest, OnlyTheVeryEntryMatches)
{
    using Kind = platform::EntryStamp::Kind;
    const platform::EntryStamp born{Kind::File, 1, 2, true, 30, 40, 50};
    const platform::EntryStamp unborn{Kind::File, 1, 2, false, 0, 40, 50};
    const struct {
        platform::EntryStamp recorded, now;
        bool same;
    } cases[] = {
        {born, {Kind::File, 1, 2, true, 30, 99, 99}, true},  // edited since: still the file
        {born, {Kind::File, 1, 2, true, 31, 40, 50}, false},  // a new file with the old number
        {born, {Kind::File, 9, 2, true, 30, 40, 50}, false},
        {born, {Kind::Folder, 1, 2, true, 30, 40, 50}, false},
        {born, unborn, false},
        {unborn, unborn, true},
        {unborn, {Kind::File, 1, 2, false, 0, 41, 50}, false},
        {unborn, {Kind::File, 1, 2, false, 0, 40, 51}, false},
        {{Kind::Folder, 1, 2, false, 0, 40, 50}, {Kind::Folder, 1, 2, false, 0, 41, 60}, true},  // entries changed
        {{}, {}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::SameEntry(c.recorded, c.now), c.same);
}

}  // namespace
}  // namespace quorvane
