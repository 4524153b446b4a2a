#include "engine/UndoRecord.h"

#include "platform/posix/DriveNameSpace.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The undo on real folders that others changed after the run: it renames
// back only the very files the run renamed, in the run's very folder, and
// says "Fehler" for the rest with nothing moved; runs are undone newest
// first, and a run stays until every file of it is back.
namespace quorvane {
namespace {

namespace fs = std::filesystem;
using ::testing::Each;
using ::testing::Field;

// Everything below `root`: files with their content, folders, links with
// their target, so that a test sees any move anywhere.
std::map<std::string, std::string> Tree(const fs::path& root)
{
    std::map<std::string, std::string> tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            tree[name] = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_directory()) {
            tree[name] = "<folder>";
        } else {
            tree[name] = testing::FileContent(entry.path());
        }
    }
    return tree;
}

const std::map<std::string, std::string> kBefore = {{"a - b - c.mp3", "first"}, {"d - e - f.mp3", "second"}};

class UndoRecordPosixTest : public ::testing::Test {
protected:
    UndoRecordPosixTest()
    {
        m_root.CreateFile("Musik/a - b - c.mp3", "first");
        m_root.CreateFile("Musik/d - e - f.mp3", "second");
        m_settings.Folder = m_root.NameOf("Musik");
    }

    fs::path Music() const { return m_root.Path() / "Musik"; }

    // An execute run whose record goes on top of the stack.
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
    const struct {
        const char* situation;
        std::function<void()> act;
    } cases[] = {
        // On ext4 the new file usually gets the deleted one's number.
        {"a new file under the new name",
         [this] {
             fs::remove(Music() / "A - C - B.mp3");
             m_root.CreateFile("Musik/A - C - B.mp3", "new");
             fs::remove(Music() / "D - F - E.mp3");
             m_root.CreateFile("Musik/D - F - E.mp3", "new");
         }},
        {"a folder under the new name",
         [this] {
             fs::remove(Music() / "A - C - B.mp3");
             m_root.CreateFile("Musik/A - C - B.mp3/inside");
             fs::rename(Music() / "D - F - E.mp3", m_root.Path() / "elsewhere.mp3");
             m_root.CreateFolder("Musik/D - F - E.mp3");
         }},
        {"the folder moved away and a fresh one in its place",
         [this] {
             fs::rename(Music(), m_root.Path() / "Alt");
             m_root.CreateFile("Musik/A - C - B.mp3", "stranger");
             m_root.CreateFile("Musik/D - F - E.mp3", "stranger");
         }},
        {"the folder turned into a link to where it went",
         [this] {
             fs::rename(Music(), m_root.Path() / "Alt");
             fs::create_directory_symlink("Alt", Music());
         }},
        {"a folder on the way turned into a link",
         [this] {
             fs::rename(Music(), m_root.Path() / "Alt");
             fs::create_directory(Music());
             fs::create_directory_symlink("../Alt/Live", Music() / "Live");
         }},
    };
    for (const auto& hostile : cases) {
        SCOPED_TRACE(hostile.situation);
        fs::remove_all(m_root.Path());
        fs::create_directory(m_root.Path());
        const bool deeper = std::string(hostile.situation).find("on the way") != std::string::npos;
        const std::string sub = deeper ? "Musik/Live/" : "Musik/";
        m_root.CreateFile(sub + "a - b - c.mp3", "first");
        m_root.CreateFile(sub + "d - e - f.mp3", "second");
        m_settings.Folder = m_root.NameOf(deeper ? "Musik\\Live" : "Musik");
        Execute();
        ASSERT_EQ(m_stack.Size(), 1u);
        hostile.act();
        const auto before = Tree(m_root.Path());

        const std::vector<ResultRow> rows = Undo();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_THAT(rows, Each(Field(&ResultRow::Status, "Fehler")));
        EXPECT_EQ(Tree(m_root.Path()), before);
        EXPECT_EQ(m_stack.Size(), 1u) << "the run stays, to be tried again";
        m_stack = {};
    }
}

// The undo of the newest run first; a file that cannot go back keeps its
// run on top until the obstacle is gone.
TEST_F(UndoRecordPosixTest, RunsAreUndoneNewestFirstAndAFailedRowIsTriedAgain)
{
    Execute();
    Execute();  // the map 1, 3, 2 twice: back to the order of the sections
    EXPECT_EQ(m_root.Names(), (std::vector<std::string>{"Musik"}));
    const fs::path music = Music();
    EXPECT_TRUE(fs::exists(music / "A - B - C.mp3"));

    m_root.CreateFile("Musik/A - C - B.mp3", "obstacle");
    std::vector<ResultRow> rows = Undo();
    ASSERT_EQ(rows.size(), 2u);
    std::map<std::string, std::string> statuses;
    for (const ResultRow& row : rows) statuses[row.OldName] = row.Status;
    EXPECT_EQ(statuses, (std::map<std::string, std::string>{{"A - B - C.mp3", "Fehler"}, {"D - E - F.mp3", "Ok"}}));
    EXPECT_EQ(m_stack.Size(), 2u);

    fs::remove(music / "A - C - B.mp3");
    rows = Undo();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Status, "Ok");
    EXPECT_EQ(m_stack.Size(), 1u);
    rows = Undo();
    EXPECT_THAT(rows, Each(Field(&ResultRow::Status, "Ok")));
    EXPECT_TRUE(m_stack.Empty());
    EXPECT_EQ(Tree(music), kBefore);
}

// A run in a folder reached through symbolic links is undone in the folder
// itself, which is where the undo looks for it, not following links.
TEST_F(UndoRecordPosixTest, AFolderReachedThroughALinkIsUndoneThere)
{
    const std::string here = m_root.Path().filename().string();
    const std::string targets[] = {(Music()).string(), "Musik", "../" + here + "/./Musik", "Weiter/../Musik"};
    m_root.CreateFolder("Weiter");
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        fs::remove(m_root.Path() / "Link");
        fs::create_directory_symlink(target, m_root.Path() / "Link");
        fs::create_directory_symlink("..", m_root.Path() / "Weiter" / "Hoch");
        m_settings.Folder = m_root.NameOf("Weiter\\Hoch\\Link");
        Execute();
        EXPECT_TRUE(fs::exists(Music() / "A - C - B.mp3"));
        EXPECT_THAT(Undo(), Each(Field(&ResultRow::Status, "Ok")));
        EXPECT_EQ(Tree(Music()), kBefore);
        fs::remove(m_root.Path() / "Weiter" / "Hoch");
    }
}

// A folder whose path is longer than the system's limit for a whole path
// is reached one component at a time.
TEST_F(UndoRecordPosixTest, AFolderBeyondThePathLimitIsUndoneToo)
{
    const std::string component(200, 'x');
    int folder = ::open(m_root.Path().c_str(), O_PATH | O_DIRECTORY);
    std::string unixPath = m_root.Path().string();
    while (unixPath.size() <= PATH_MAX) {
        ASSERT_EQ(::mkdirat(folder, component.c_str(), 0700), 0);
        const int inner = ::openat(folder, component.c_str(), O_PATH | O_DIRECTORY);
        ::close(folder);
        folder = inner;
        unixPath += "/" + component;
    }
    ASSERT_GE(::close(::openat(folder, "a - b - c.mp3", O_CREAT | O_WRONLY, 0600)), 0);

    // The run's renames, as a run in that folder reports them.
    ResultList rows;
    UndoRecord run;
    UndoRecordingTable table(rows, run, *platform::posix::FromUnixPath(unixPath));
    table.Start();
    ASSERT_EQ(::renameat(folder, "a - b - c.mp3", folder, "A - C - B.mp3"), 0);
    table.Add({"Ok", "a - b - c.mp3", "A - C - B.mp3"});
    table.Finish();
    m_stack.Push(std::move(run));

    EXPECT_THAT(Undo(), ::testing::ElementsAre(::testing::FieldsAre("Ok", "A - C - B.mp3", "a - b - c.mp3")));
    struct stat info {};
    EXPECT_EQ(::fstatat(folder, "a - b - c.mp3", &info, 0), 0);
    ::close(folder);
}

// Volume and number alone do not make a file: the birth time, or where
// there is none the change time and the size, must match as well.
TEST(UndoRecordStampTest, OnlyTheVeryEntryMatches)
{
    using Kind = platform::EntryStamp::Kind;
    const platform::EntryStamp born{Kind::File, 1, 2, true, 30, 40, 50};
    const platform::EntryStamp unborn{Kind::File, 1, 2, false, 0, 40, 50};
    const platform::EntryStamp folder{Kind::Folder, 1, 2, false, 0, 40, 50};
    const struct {
        platform::EntryStamp recorded, now;
        bool same;
    } cases[] = {
        {born, born, true},
        {born, {Kind::File, 1, 2, true, 30, 99, 99}, true},  // edited since: still the file
        {born, {Kind::File, 1, 2, true, 31, 40, 50}, false},  // a new file with the old number
        {born, {Kind::File, 9, 2, true, 30, 40, 50}, false},
        {born, {Kind::File, 1, 9, true, 30, 40, 50}, false},
        {born, {Kind::Folder, 1, 2, true, 30, 40, 50}, false},
        {born, unborn, false},
        {unborn, unborn, true},
        {unborn, {Kind::File, 1, 2, false, 0, 41, 50}, false},
        {unborn, {Kind::File, 1, 2, false, 0, 40, 51}, false},
        {folder, {Kind::Folder, 1, 2, false, 0, 41, 60}, true},  // its entries changed
        {folder, {Kind::Folder, 1, 3, false, 0, 40, 50}, false},
        {{}, {}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::SameEntry(c.recorded, c.now), c.same);
}

}  // namespace
}  // namespace quorvane
