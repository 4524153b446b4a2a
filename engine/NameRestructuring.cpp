#include "engine/NameRestructuring.h"

#include "engine/EngineTexts.h"
#include "runtime/Conversions.h"

#include <algorithm>
#include <array>

namespace quorvane {

namespace {

// Where the extension starts: at the last dot, unless a colon or a backslash
// comes after it. File names are never longer than 255 characters, so the
// extension is always taken whole.
std::size_t ExtensionStart(std::string_view fileName)
{
    const std::size_t stop = fileName.find_last_of(".:\\");
    if (stop == std::string_view::npos || fileName[stop] != '.') return fileName.size();
    return stop;
}

// A map handed in by another tool may not have been validated; a map that
// does not fit the count restructures nothing rather than reading a section
// that is not there.
bool MapFitsCount(const SectionMap& map, int sectionCount)
{
    if (sectionCount < kMinSectionCount || sectionCount > kMaxSectionCount) return false;
    if (map.size() < static_cast<std::size_t>(sectionCount)) return false;
    return std::all_of(map.begin(), map.begin() + sectionCount,
                       [sectionCount](std::int32_t entry) { return entry >= 0 && entry <= sectionCount; });
}

}  // namespace

SplitName SplitExtension(std::string_view fileName)
{
    const std::size_t start = ExtensionStart(fileName);
    return SplitName{std::string(fileName.substr(0, start)), std::string(fileName.substr(start))};
}

SectionMapError::SectionMapError(int row, std::string message) : Exception(std::move(message)), m_row(row) {}

SectionMap ValidateSectionMap(const std::vector<std::string>& mapCells, int sectionCount)
{
    if (sectionCount < kMinSectionCount || sectionCount > kMaxSectionCount) {
        throw Exception(engine_texts::kSectionCountOutOfRange + IntToStr(sectionCount));
    }
    static const std::string kMissingCell;
    SectionMap map;
    map.reserve(static_cast<std::size_t>(sectionCount));
    for (int row = 1; row <= sectionCount; ++row) {
        const std::size_t index = static_cast<std::size_t>(row - 1);
        // A grid row whose cell was never filled holds the empty text.
        const std::string& cell = index < mapCells.size() ? mapCells[index] : kMissingCell;
        const std::int32_t value = StrToInt(cell);
        if (value < 0 || value > sectionCount) {
            throw SectionMapError(row, engine_texts::kValueOutOfRange + IntToStr(value));
        }
        if (value != 0 && std::find(map.begin(), map.end(), value) != map.end()) {
            throw SectionMapError(row, engine_texts::kDuplicateValue + IntToStr(value));
        }
        map.push_back(value);
    }
    return map;
}

NormaliseOptions NormaliseOptionsOf(const RenameSettings& settings)
{
    return NormaliseOptions{settings.UnderscoreHandling, settings.CapitaliseWords, settings.EqualiseSpaces};
}

Restructuring RestructureName(std::string_view fileName, const RenameSettings& settings, const SectionMap& map,
                              const platform::TextCase& textCase)
{
    const std::size_t extensionStart = ExtensionStart(fileName);
    const std::string_view base = fileName.substr(0, extensionStart);
    const std::string_view extension = fileName.substr(extensionStart);
    const NormaliseOptions options = NormaliseOptionsOf(settings);

    Restructuring result;
    if (!settings.StructureChange) {
        result.Restructured = true;
        result.NewName = NormaliseSection(base, options, textCase);
        result.NewName += extension;
        return result;
    }

    const int sectionCount = settings.SectionCount;
    const std::string_view separator = settings.OldSeparator;
    if (separator.empty() || !MapFitsCount(map, sectionCount)) return result;

    // Cut first; only the sections the map names are cleaned, which gives the
    // same name because cleaning has no side effects.
    std::array<std::string_view, kMaxSectionCount> sections;
    std::string_view rest = base;
    for (int k = 0; k < sectionCount - 1; ++k) {
        const std::size_t position = rest.find(separator);
        if (position == std::string_view::npos) return result;
        sections[static_cast<std::size_t>(k)] = rest.substr(0, position);
        rest.remove_prefix(position + separator.size());
    }
    // Excess sections stay, separators included, inside the last one.
    if (!settings.IgnoreExcessSections && rest.find(separator) != std::string_view::npos) return result;
    sections[static_cast<std::size_t>(sectionCount - 1)] = rest;

    // Cleaning never makes a section longer (every replacement is as long as
    // what it replaces, and case changes keep the byte length), so the new
    // name is built in place without moving.
    std::string joined;
    joined.reserve(settings.LeadingText.size() + fileName.size() +
                   static_cast<std::size_t>(sectionCount) * settings.NewSeparator.size());
    for (int r = 0; r < sectionCount; ++r) {
        const std::int32_t entry = map[static_cast<std::size_t>(r)];
        if (entry <= 0) continue;
        joined += settings.NewSeparator;
        joined += NormaliseSection(sections[static_cast<std::size_t>(entry - 1)], options, textCase);
    }
    if (!settings.LeadingText.empty()) {
        joined.insert(0, settings.LeadingText);
    } else {
        // Every chosen section brought its separator along; the first one has
        // nothing in front of it to separate from.
        joined.erase(0, std::min(settings.NewSeparator.size(), joined.size()));
    }
    joined += extension;

    result.Restructured = true;
    result.NewName = std::move(joined);
    return result;
}

}  // namespace quorvane
