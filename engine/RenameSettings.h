#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

// The limits of the section count: the spin box of the main window keeps its
// value within them, and the engine refuses any other count.
inline constexpr int kMinSectionCount = 2;
inline constexpr int kMaxSectionCount = 10;

// What one batch run takes from the main window's controls at its start. The
// defaults are what the window shows after start-up.
struct RenameSettings {
    std::string Folder;
    std::string FileMask = "*.mp3";
    bool StructureChange = true;
    int SectionCount = 3;
    std::vector<std::string> MapCells = {"1", "3", "2"};
    std::string OldSeparator = " - ";
    std::string NewSeparator = " - ";
    std::string LeadingText;
    bool UnderscoreHandling = true;
    bool CapitaliseWords = true;
    bool EqualiseSpaces = true;
    bool IgnoreExcessSections = true;
};

// One line of the result table: status, the name as found and the new name,
// both without folder.
struct ResultRow {
    std::string Status;
    std::string OldName;
    std::string NewName;
};

// For each position of the new name, the number of the old section that goes
// there, 0 for none: element r-1 holds the entry of row r.
using SectionMap = std::vector<std::int32_t>;

}  // namespace quorvane
