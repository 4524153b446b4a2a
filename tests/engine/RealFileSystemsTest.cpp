#include "engine/BatchRun.h"
#include "engine/UndoRecord.h"
#include "platform/FileSystem.h"
#include "platform/posix/PosixRename.h"
#include "tests/support/RealFileSystems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

// The promise of the program — a rename never replaces a file — kept on the
// file systems music collections live on: FAT, exFAT and NTFS through FUSE,
// and the stand-ins for network shares, which refuse the kernel's no-replace
// rename and so take the program's own fallbacks.
namespace quorvane {
namespace {

using platform::posix::TRenameStep;
using testing::MountedFileSystem;
using testing::RealFileSystemKind;

using Contents = std::map<std::string, std::string>;

Contents ContentsOf(const std::filesystem::path& folder)
{
    Contents contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        contents[entry.path().filename().string()] =
            entry.is_directory() ? std::string("<folder>") : testing::FileContent(entry.path());
    }
    return contents;
}

class RealFileSystemsTest : public ::testing::TestWithParam<RealFileSystemKind> {
protected:
    void SetUp() override
    {
        m_fs = std::make_unique<MountedFileSystem>(GetParam());
        if (m_fs->Status() == MountedFileSystem::State::Skipped) GTEST_SKIP() << m_fs->Reason();
        ASSERT_EQ(m_fs->Status(), MountedFileSystem::State::Mounted) << m_fs->Reason();
        ::testing::Test::RecordProperty("mount_type", m_fs->MountType());
    }

    // A fresh folder of the mounted file system, with these files in it.
    std::filesystem::path Folder(const std::string& name, const Contents& files = {})
    {
        const std::filesystem::path folder = m_fs->Path() / name;
        std::filesystem::create_directory(folder);
        for (const auto& [file, content] : files) std::ofstream(folder / file, std::ios::binary) << content;
        return folder;
    }

    std::string NameOf(const std::filesystem::path& path) const
    {
        return m_fs->Name() + "\\" + std::filesystem::relative(path, m_fs->Path()).string();
    }

    std::unique_ptr<MountedFileSystem> m_fs;
};

TEST_P(RealFileSystemsTest, RenamesNeverReplaceAndChangesOfCaseWork)
{
    const bool ignoresCase = GetParam() == RealFileSystemKind::Fat || GetParam() == RealFileSystemKind::ExFat;
    const struct {
        const char* From;
        const char* To;
        std::uint32_t Error;
        Contents After;
    } cases[] = {
        {"a.mp3", "c.mp3", platform::kErrorSuccess, {{"c.mp3", "a"}, {"b.mp3", "b"}}},
        {"a.mp3", "b.mp3", platform::kErrorAlreadyExists, {{"a.mp3", "a"}, {"b.mp3", "b"}}},
        {"a.mp3", "a.mp3", platform::kErrorSuccess, {{"a.mp3", "a"}, {"b.mp3", "b"}}},
        {"a.mp3", "A.mp3", platform::kErrorSuccess, {{"A.mp3", "a"}, {"b.mp3", "b"}}},
        {"a.mp3", "B.mp3", ignoresCase ? platform::kErrorAlreadyExists : platform::kErrorSuccess,
         ignoresCase ? Contents{{"a.mp3", "a"}, {"b.mp3", "b"}} : Contents{{"B.mp3", "a"}, {"b.mp3", "b"}}},
        {"x.mp3", "c.mp3", platform::kErrorFileNotFound, {{"a.mp3", "a"}, {"b.mp3", "b"}}},
    };
    int number = 0;
    for (const auto& c : cases) {
        const std::filesystem::path folder = Folder("case" + std::to_string(++number), {{"a.mp3", "a"}, {"b.mp3", "b"}});
        const std::unique_ptr<platform::FolderHandle> handle = platform::NativeFileSystem().OpenFolder(NameOf(folder));
        EXPECT_EQ(handle->MoveFile(c.From, c.To), c.Error) << c.From << " > " << c.To;
        EXPECT_EQ(ContentsOf(folder), c.After) << c.From << " > " << c.To;
    }
}

// What "another program" does at one moment of a rename of "old" (holding
// "file") to "new": its own file holds "other".
enum class Act { CreateNew, MoveOntoOld, DeleteOld, MoveOntoNew, DeleteNew };

void Perform(Act act, const std::filesystem::path& folder)
{
    const auto own = [&folder](const char* name) {
        const int file = ::open((folder / name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (file >= 0) static_cast<void>(::write(file, "other", 5) + ::close(file));
    };
    switch (act) {
    case Act::CreateNew:
        return own("new");
    case Act::MoveOntoOld:
        own("theirs");
        std::rename((folder / "theirs").c_str(), (folder / "old").c_str());
        return;
    case Act::DeleteOld:
        ::unlink((folder / "old").c_str());
        return;
    case Act::MoveOntoNew:
        own("theirs");
        std::rename((folder / "theirs").c_str(), (folder / "new").c_str());
        return;
    case Act::DeleteNew:
        ::unlink((folder / "new").c_str());
        return;
    }
}

std::string Listing(const std::filesystem::path& folder)
{
    std::string listing;
    for (const auto& [name, content] : ContentsOf(folder)) listing += (listing.empty() ? "" : " ") + name + "=" + content;
    return listing;
}

struct TRace {
    TRenameStep Step;
    Act What;
    bool Renamed;
    const char* After;
};

// File systems with hard links (NTFS, NFS): the new name comes as a link, the
// old name goes aside, is checked and removed.
const TRace kRacesByLink[] = {
    {TRenameStep::LinkFileHeld, Act::CreateNew, false, "new=other old=file"},
    {TRenameStep::LinkFileHeld, Act::MoveOntoOld, false, "old=other"},
    {TRenameStep::LinkFileHeld, Act::DeleteOld, false, ""},
    {TRenameStep::LinkFileHeld, Act::MoveOntoNew, false, "new=other old=file"},
    {TRenameStep::LinkFileHeld, Act::DeleteNew, true, "new=file"},
    {TRenameStep::Linked, Act::CreateNew, true, "new=file"},
    {TRenameStep::Linked, Act::MoveOntoOld, true, "new=file old=other"},
    {TRenameStep::Linked, Act::DeleteOld, true, "new=file"},
    {TRenameStep::Linked, Act::MoveOntoNew, false, "new=other old=file"},
    {TRenameStep::Linked, Act::DeleteNew, false, "old=file"},
    {TRenameStep::OldNameSetAside, Act::CreateNew, true, "new=file"},
    {TRenameStep::OldNameSetAside, Act::MoveOntoOld, true, "new=file old=other"},
    {TRenameStep::OldNameSetAside, Act::DeleteOld, true, "new=file"},
    {TRenameStep::OldNameSetAside, Act::MoveOntoNew, false, "new=other old=file"},
    {TRenameStep::OldNameSetAside, Act::DeleteNew, false, "old=file"},
    {TRenameStep::LinkChecked, Act::CreateNew, true, "new=file"},
    {TRenameStep::LinkChecked, Act::MoveOntoOld, true, "new=file old=other"},
    {TRenameStep::LinkChecked, Act::DeleteOld, true, "new=file"},
    // The rename is done but for removing the private name: the other
    // program replaces or removes the file under its new name, as it would
    // a moment after a rename of the kernel.
    {TRenameStep::LinkChecked, Act::MoveOntoNew, true, "new=other"},
    {TRenameStep::LinkChecked, Act::DeleteNew, true, ""},
};

// File systems without hard links (FAT, exFAT, SMB): the new name is reserved
// with an empty file, checked, and the file renamed onto it.
const TRace kRacesByReservation[] = {
    {TRenameStep::OldNameLooked, Act::CreateNew, false, "new=other old=file"},
    {TRenameStep::OldNameLooked, Act::MoveOntoOld, false, "old=other"},
    {TRenameStep::OldNameLooked, Act::DeleteOld, false, ""},
    {TRenameStep::OldNameLooked, Act::MoveOntoNew, false, "new=other old=file"},
    {TRenameStep::OldNameLooked, Act::DeleteNew, true, "new=file"},
    {TRenameStep::Reserved, Act::CreateNew, true, "new=file"},
    {TRenameStep::Reserved, Act::MoveOntoOld, false, "old=other"},
    {TRenameStep::Reserved, Act::DeleteOld, false, ""},
    {TRenameStep::Reserved, Act::MoveOntoNew, false, "new=other old=file"},
    {TRenameStep::Reserved, Act::DeleteNew, false, "old=file"},
    {TRenameStep::ReservationChecked, Act::CreateNew, true, "new=file"},
    {TRenameStep::ReservationChecked, Act::MoveOntoOld, false, "new=other"},
    {TRenameStep::ReservationChecked, Act::DeleteOld, false, ""},
    // The one call no file system without both the no-replace rename and
    // links lets us close: a file put onto the reservation in the instant
    // between its check and the rename is replaced.
    {TRenameStep::ReservationChecked, Act::MoveOntoNew, true, "new=file"},
    {TRenameStep::ReservationChecked, Act::DeleteNew, true, "new=file"},
    {TRenameStep::RenamedOntoReservation, Act::CreateNew, true, "new=file"},
    {TRenameStep::RenamedOntoReservation, Act::MoveOntoOld, true, "new=file old=other"},
    {TRenameStep::RenamedOntoReservation, Act::DeleteOld, true, "new=file"},
    {TRenameStep::RenamedOntoReservation, Act::MoveOntoNew, false, "new=other"},
    {TRenameStep::RenamedOntoReservation, Act::DeleteNew, false, ""},
};

TEST_P(RealFileSystemsTest, AnotherProgramActingBetweenTheCallsLosesNothingAndIsToldTruly)
{
    const bool byLink = GetParam() == RealFileSystemKind::Ntfs || GetParam() == RealFileSystemKind::NoReplaceRefused;
    int number = 0;
    for (const TRace& race : byLink ? std::span<const TRace>(kRacesByLink) : std::span<const TRace>(kRacesByReservation)) {
        const std::filesystem::path folder = Folder("race" + std::to_string(++number), {{"old", "file"}});
        const int descriptor = ::open(folder.c_str(), O_PATH | O_DIRECTORY);
        bool acted = false;
        platform::posix::SetRenameStepHook([&](TRenameStep step) {
            if (step == race.Step && !acted) Perform(race.What, folder);
            acted = acted || step == race.Step;
        });
        const int result = platform::posix::RenameWithoutReplacing(descriptor, "old", "new");
        platform::posix::SetRenameStepHook({});
        ::close(descriptor);
        const std::string where = "race " + std::to_string(number) + ": " + std::strerror(result);
        EXPECT_TRUE(acted) << where;
        EXPECT_EQ(result == 0, race.Renamed) << where;
        EXPECT_EQ(Listing(folder), race.After) << where;
    }
}

INSTANTIATE_TEST_SUITE_P(, RealFileSystemsTest, ::testing::ValuesIn(testing::AllRealFileSystems()),
                         [](const auto& info) { return std::string(testing::NameOf(info.param)); });

}  // namespace
}  // namespace quorvane
