#pragma once

#include "engine/RenameSettings.h"
#include "engine/SectionNormaliser.h"
#include "platform/TextCase.h"
#include "runtime/Exceptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// A file name cut at its last dot: the extension keeps the dot, a name
// without a dot has none.
struct SplitName {
    std::string Base;
    std::string Extension;
};

SplitName SplitExtension(std::string_view fileName);

// A section map cell that is out of range or repeats an earlier value; Row is
// the grid row (1..N) whose cell the user has to correct.
class SectionMapError : public Exception {
public:
    SectionMapError(int row, std::string message);

    int Row() const { return m_row; }

private:
    int m_row;
};

// Reads the map cells of rows 1..sectionCount. A cell that is no integer
// raises EConvertError, a value outside 0..sectionCount or a repeated non-zero
// value raises SectionMapError. A missing cell counts as an empty one; a count
// outside 2..10 raises Exception.
SectionMap ValidateSectionMap(const std::vector<std::string>& mapCells, int sectionCount);

struct Restructuring {
    bool Restructured = false;
    std::string NewName;  // empty when the name could not be restructured
};

// The new name of one file (no folder part) under the settings and a
// validated map. A name that cannot be cut into the sections is not
// restructured; neither is any name under a map that does not fit the
// section count.
Restructuring RestructureName(std::string_view fileName, const RenameSettings& settings, const SectionMap& map,
                              const platform::TextCase& textCase = platform::HostTextCase());

// The cleaning switches of the settings.
NormaliseOptions NormaliseOptionsOf(const RenameSettings& settings);

}  // namespace quorvane
