#include "engine/BatchRun.h"

#include "engine/NameRestructuring.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

// A "Testen" run on a real folder, followed at once by an "Ausführen" run on
// the same folder, must show the same status in every row: the preview is
// the user's one safeguard. The folders are made at random from a few words,
// so that new names often meet existing names, each other and the names
// earlier rows give up, with second names of one file, folders, links and
// dangling links in the way, names too long for the file system and names
// that would hide their file.
namespace quorvane {
namespace {

std::string Describe(const std::vector<ResultRow>& rows)
{
    std::string text;
    for (const ResultRow& row : rows) text += row.Status + " | " + row.OldName + " | " + row.NewName + "\n";
    return text;
}

class RandomFolder {
public:
    RandomFolder(std::mt19937& random, const testing::TempFolder& folder) : m_random(random), m_folder(folder) {}

    std::size_t Below(std::size_t bound) { return m_random() % bound; }
    bool OneIn(std::size_t chance) { return Below(chance) == 0; }

    std::string Name()
    {
        static const char* const kWords[] = {"a", "b", "c", "A", "B", "x y", "X Y", ".d", "e_f"};
        std::string name;
        for (std::size_t s = 1 + Below(4); s > 0; --s) {
            if (!name.empty()) name += " - ";
            name += OneIn(12) ? std::string(120, 'l') : kWords[Below(std::size(kWords))];
        }
        name += OneIn(8) ? ".MP3" : ".mp3";
        return name.size() <= 255 ? name : Name();
    }

    void Fill(const RenameSettings& settings, const SectionMap& map)
    {
        std::vector<std::string> files;
        for (std::size_t n = 3 + Below(20); n > 0; --n) {
            const std::string name = Name();
            if (m_folder.Exists(name)) continue;
            m_folder.CreateFile(name, name);
            files.push_back(name);
        }
        for (const std::string& file : files) {
            const std::string target = RestructureName(file, settings, map).NewName;
            if (target.empty() || target.size() > 255 || target.find('/') != std::string::npos) continue;
            if (m_folder.Exists(target)) continue;
            const std::filesystem::path from = m_folder.Path() / file;
            const std::filesystem::path to = m_folder.Path() / target;
            switch (Below(8)) {
            case 0: std::filesystem::create_hard_link(from, to); break;
            case 1: std::filesystem::create_directory(to); break;
            case 2: std::filesystem::create_symlink(from, to); break;
            case 3: std::filesystem::create_symlink(m_folder.Path() / "fehlt", to); break;
            case 4: m_folder.CreateFile(target, "other"); break;
            default: break;
            }
        }
    }

private:
    std::mt19937& m_random;
    const testing::TempFolder& m_folder;
};

TEST(RenameForecastFolderTest, ThePreviewShowsTheStatusesOfTheRunThatFollows)
{
    for (std::uint32_t seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        testing::TempFolder folder;
        RandomFolder maker(random, folder);

        RenameSettings settings;
        settings.Folder = folder.Name();
        settings.StructureChange = !maker.OneIn(5);
        settings.SectionCount = 2 + static_cast<int>(maker.Below(2));
        static const std::vector<std::vector<std::string>> kMaps2 = {{"2", "1"}, {"1", "2"}, {"0", "1"}};
        static const std::vector<std::vector<std::string>> kMaps3 = {
            {"1", "3", "2"}, {"2", "3", "1"}, {"3", "1", "2"}, {"0", "0", "0"}, {"3", "0", "1"}};
        const auto& maps = settings.SectionCount == 2 ? kMaps2 : kMaps3;
        settings.MapCells = maps[maker.Below(maps.size())];
        settings.CapitaliseWords = !maker.OneIn(3);
        settings.UnderscoreHandling = !maker.OneIn(3);
        static const char* const kLeading[] = {"", "", "", ".", "Neu", "l"};
        settings.LeadingText = kLeading[maker.Below(std::size(kLeading))];
        if (settings.LeadingText == "l") settings.LeadingText = std::string(140, 'l');
        if (maker.OneIn(15)) settings.NewSeparator = "/";
        if (maker.OneIn(6)) settings.FileMask = "*";
        const SectionMap map =
            settings.StructureChange ? ValidateSectionMap(settings.MapCells, settings.SectionCount) : SectionMap();
        maker.Fill(settings, map);

        ResultList preview;
        RunBatch(settings, false, preview);
        ResultList run;
        RunBatch(settings, true, run);

        ASSERT_EQ(preview.Rows().size(), run.Rows().size()) << "preview:\n" << Describe(preview.Rows())
                                                             << "run:\n" << Describe(run.Rows());
        for (std::size_t row = 0; row < run.Rows().size(); ++row) {
            EXPECT_EQ(preview.Rows()[row].Status, run.Rows()[row].Status)
                << "row " << row << "\npreview:\n" << Describe(preview.Rows()) << "run:\n" << Describe(run.Rows());
            EXPECT_EQ(preview.Rows()[row].OldName, run.Rows()[row].OldName);
            EXPECT_EQ(preview.Rows()[row].NewName, run.Rows()[row].NewName);
        }
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace quorvane
