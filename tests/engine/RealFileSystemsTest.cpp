#include "engine/BatchRun.h"
#include "engine/UndoRecord.h"
#include "platform/FileSystem.h"
#include "platform/posix/PosixRename.h"
#include "tests/support/RealFileSystems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <span>
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

std::string Listing(const std::filesystem::path& folder)
{
    std::string listing;
    for (const auto& [name, content] : ContentsOf(folder)) {
        listing += (listing.empty() ? "" : " ") + name + "=" + content;
    }
    return listing;
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
        for (const auto& [file, content] : files) {
            if (content == "<folder>") {
                std::filesystem::create_directory(folder / file);
            } else {
                std::ofstream(folder / file, std::ios::binary) << content;
            }
        }
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
    const char* const unchanged = "a.mp3=a b.mp3=b d=<folder>";
    const struct {
        const char* From;
        const char* To;
        std::uint32_t Error;
        const char* After;
    } cases[] = {
        {"a.mp3", "c.mp3", platform::kErrorSuccess, "b.mp3=b c.mp3=a d=<folder>"},
        {"a.mp3", "b.mp3", platform::kErrorAlreadyExists, unchanged},
        {"a.mp3", "a.mp3", platform::kErrorSuccess, unchanged},
        {"a.mp3", "A.mp3", platform::kErrorSuccess, "A.mp3=a b.mp3=b d=<folder>"},
        {"a.mp3", "B.mp3", ignoresCase ? platform::kErrorAlreadyExists : platform::kErrorSuccess,
         ignoresCase ? unchanged : "B.mp3=a b.mp3=b d=<folder>"},
        {"x.mp3", "c.mp3", platform::kErrorFileNotFound, unchanged},
        {"d", "e", platform::kErrorSuccess, "a.mp3=a b.mp3=b e=<folder>"},
        {"d", "b.mp3", platform::kErrorAlreadyExists, unchanged},
    };
    int number = 0;
    for (const auto& c : cases) {
        const std::filesystem::path folder =
            Folder("case" + std::to_string(++number), {{"a.mp3", "a"}, {"b.mp3", "b"}, {"d", "<folder>"}});
        const std::unique_ptr<platform::FolderHandle> handle = platform::NativeFileSystem().OpenFolder(NameOf(folder));
        EXPECT_EQ(handle->MoveFile(c.From, c.To), c.Error) << c.From << " > " << c.To;
        EXPECT_EQ(Listing(folder), c.After) << c.From << " > " << c.To;
    }
}

// What "another program" does at one moment of a rename of "old" (holding
// "file") to "new": its own file holds "other".
enum class Act { CreateNew, MoveOntoOld, DeleteOld, MoveOntoNew, DeleteNew };

void Perform(Act act, const std::filesystem::path& folder)
{
    const std::filesystem::path target = folder / (act == Act::MoveOntoOld || act == Act::DeleteOld ? "old" : "new");
    if (act == Act::DeleteOld || act == Act::DeleteNew) {
        ::unlink(target.c_str());
        return;
    }
    const std::filesystem::path theirs = act == Act::CreateNew ? target : folder / "theirs";
    const int file = ::open(theirs.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (file >= 0) static_cast<void>(::write(file, "other", 5) + ::close(file));
    if (act != Act::CreateNew) std::rename(theirs.c_str(), target.c_str());
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
    const std::span<const TRace> races = byLink ? std::span<const TRace>(kRacesByLink) : kRacesByReservation;
    for (const TRace& race : races) {
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

// A folder of files with random names made to trouble the rename: case and
// Unicode twins, names equal after cleaning, too few sections, other
// extensions; and random settings.
struct TSample {
    std::vector<std::string> Names;
    RenameSettings Settings;
};

TSample RandomSample(std::mt19937& random)
{
    const auto pick = [&random](const auto& choices) { return choices[random() % std::size(choices)]; };
    static const char* const kWords[] = {"anna", "Anna", "berg", "BERG", "see", "\xC3\xA4pfel", "\xC3\x84pfel",
                                         "x_y", "zwei  worte", "ende "};
    static const char* const kSeparators[] = {" - ", " - ", " -  ", "-"};
    static const char* const kExtensions[] = {".mp3", ".mp3", ".mp3", ".MP3", ".txt"};
    static const int kSectionCounts[] = {1, 2, 3, 3, 3, 4};
    static const char* const kNewSeparators[] = {" - ", " _ ", "-", " + ", " : "};
    TSample sample;
    const int files = 2 + static_cast<int>(random() % 9);
    for (int file = 0; file < files; ++file) {
        std::string name;
        const int sections = pick(kSectionCounts);
        for (int section = 0; section < sections; ++section) {
            name += (section > 0 ? pick(kSeparators) : "") + std::string(pick(kWords));
        }
        sample.Names.push_back(name + pick(kExtensions));
    }
    RenameSettings& settings = sample.Settings;
    std::shuffle(settings.MapCells.begin(), settings.MapCells.end(), random);
    if (random() % 4 == 0) settings.MapCells[random() % 3] = "0";
    settings.NewSeparator = pick(kNewSeparators);
    settings.CapitaliseWords = random() % 2 == 0;
    settings.UnderscoreHandling = random() % 2 == 0;
    settings.EqualiseSpaces = random() % 2 == 0;
    settings.IgnoreExcessSections = random() % 2 == 0;
    return sample;
}

std::vector<std::string> Sorted(const std::vector<ResultRow>& rows)
{
    std::vector<std::string> lines;
    for (const ResultRow& row : rows) lines.push_back(row.Status + " " + row.OldName + " > " + row.NewName);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string Describe(const TSample& sample)
{
    std::string text = "map " + sample.Settings.MapCells[0] + sample.Settings.MapCells[1] +
        sample.Settings.MapCells[2] + ", separator '" + sample.Settings.NewSeparator + "', files:";
    for (const std::string& name : sample.Names) text += " '" + name + "'";
    return text;
}

// "Testen" shows exactly the rows "Ausführen" then gives, the files have the
// names the rows say, and undoing the run brings back every old name with
// its content.
TEST_P(RealFileSystemsTest, PreviewTellsTheRunAndUndoBringsEverythingBack)
{
    std::mt19937 random(2412 + static_cast<unsigned>(GetParam()));
    std::size_t rows = 0;
    for (int number = 1; number <= 300; ++number) {
        const TSample sample = RandomSample(random);
        // Small folders in small folders: fusefat reads a folder entry by entry.
        const std::filesystem::path folder = Folder("g" + std::to_string(number / 20)) / std::to_string(number);
        std::filesystem::create_directory(folder);
        for (const std::string& name : sample.Names) {
            // A twin that the file system takes for an existing name is left out.
            const int file = ::open((folder / name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (file >= 0) static_cast<void>(::write(file, name.data(), name.size()) + ::close(file));
        }
        RenameSettings settings = sample.Settings;
        settings.Folder = NameOf(folder);
        const Contents before = ContentsOf(folder);

        ResultList preview;
        RunBatch(settings, false, preview);
        ResultList run;
        UndoRecord record;
        UndoRecordingTable recording(run, record, settings.Folder);
        RunBatch(settings, true, recording);
        Contents expected = before;
        for (const ResultRow& row : run.Rows()) {
            if (row.Status != "Ok" || row.OldName == row.NewName) continue;
            expected[row.NewName] = expected[row.OldName];
            expected.erase(row.OldName);
        }
        EXPECT_EQ(ContentsOf(folder), expected) << Describe(sample);
        ResultList undo;
        UndoRenames(record, undo);
        EXPECT_EQ(ContentsOf(folder), before) << Describe(sample);
        for (const ResultRow& row : undo.Rows()) EXPECT_NE(row.Status, "Fehler") << Describe(sample);

        rows += run.Rows().size();
        EXPECT_EQ(Sorted(preview.Rows()), Sorted(run.Rows())) << Describe(sample);
    }
    std::printf("%s: %zu rows of preview and run compared\n", std::string(testing::NameOf(GetParam())).c_str(), rows);
}

INSTANTIATE_TEST_SUITE_P(, RealFileSystemsTest, ::testing::ValuesIn(testing::AllRealFileSystems()),
                         [](const auto& info) { return std::string(testing::NameOf(info.param)); });

}  // namespace
}  // namespace quorvane
