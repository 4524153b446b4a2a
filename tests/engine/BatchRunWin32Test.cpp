#include "engine/BatchRun.h"

#include "platform/win32/Win32Api.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// Batch runs on a real Windows folder through the system's own file and
// text services, with the marks only Windows keeps on its files.
namespace quorvane {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Rows(const ResultList& rows)
{
    std::vector<std::string> lines;
    for (const ResultRow& row : rows.Rows()) lines.push_back(row.Status + " " + row.OldName + " > " + row.NewName);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(BatchRunWin32Test, ListsMarkedFilesButNoFoldersAndRenamesThemUnderTheirLongNames)
{
    testing::TempFolder folder;
    const struct {
        const char* Name;
        DWORD Marks;
    } files[] = {
        {"ärger - büro - live mitschnitt.mp3", FILE_ATTRIBUTE_NORMAL},
        {"nur lesen - b - c.mp3", FILE_ATTRIBUTE_READONLY},
        {"versteckt - b - c.mp3", FILE_ATTRIBUTE_HIDDEN},
        {"system - b - c.mp3", FILE_ATTRIBUTE_SYSTEM},
    };
    for (const auto& file : files) {
        folder.CreateFile(file.Name);
        ASSERT_TRUE(::SetFileAttributesA((folder.Name() + "\\" + file.Name).c_str(), file.Marks)) << file.Name;
    }
    folder.CreateFolder("ordner - x - y.mp3");
    RenameSettings settings;
    settings.Folder = folder.Name();

    ResultList rows;
    RunBatch(settings, false, rows);
    const std::vector<std::string> expected = {
        "Ok nur lesen - b - c.mp3 > Nur Lesen - C - B.mp3",
        "Ok system - b - c.mp3 > System - C - B.mp3",
        "Ok versteckt - b - c.mp3 > Versteckt - C - B.mp3",
        "Ok ärger - büro - live mitschnitt.mp3 > Ärger - Live Mitschnitt - Büro.mp3",
    };
    EXPECT_EQ(Rows(rows), expected);
    EXPECT_EQ(folder.Names().front(), "nur lesen - b - c.mp3");

    RunBatch(settings, true, rows);
    EXPECT_EQ(Rows(rows), expected);
    EXPECT_THAT(folder.Names(), ElementsAre("Nur Lesen - C - B.mp3", "System - C - B.mp3", "Versteckt - C - B.mp3",
                                            "ordner - x - y.mp3", "Ärger - Live Mitschnitt - Büro.mp3"));
}

}  // namespace
}  // namespace quorvane
