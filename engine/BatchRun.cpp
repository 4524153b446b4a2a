#include "engine/BatchRun.h"

#include "engine/EngineTexts.h"
#include "engine/NameRestructuring.h"
#include "engine/NameTable.h"
#include "engine/RenameForecast.h"
#include "runtime/FolderPath.h"

#include <memory>
#include <string>
#include <string_view>

namespace quorvane {

namespace {

bool HoldsPathSeparator(std::string_view text) { return text.find_first_of("\\/") != std::string_view::npos; }

// The mask names files of the chosen folder. One with a folder part would
// list the files of another folder, while the renames would hit the
// same-named files of the chosen one, so it lists nothing.
std::unique_ptr<platform::FindHandle> OpenEnumeration(platform::FileSystem& fileSystem, const std::string& folderPath,
                                                      const std::string& mask)
{
    if (HoldsPathSeparator(mask)) return nullptr;
    // The run looks only at the folder bit, so the system need not find out the rest.
    return fileSystem.FindFirstReporting(folderPath + mask, platform::faDirectory);
}

// A new name built from separators or a leading text with a slash or a
// backslash in them would move the file into another folder, and one that
// breaks the folder's rules would fail anyway: none of them is ever passed to
// a rename.
bool RenameInFolder(platform::FolderHandle& folder, const std::string& oldName, const std::string& newName,
                    const platform::FolderNameRules& rules)
{
    if (!IsUsableNewName(oldName, newName, rules)) return false;
    return folder.MoveFile(oldName, newName) == platform::kErrorSuccess;
}

}  // namespace

void ResultList::Start() { m_rows.clear(); }

void ResultList::Add(const ResultRow& row) { m_rows.push_back(row); }

void ResultList::Finish()
{
    if (m_rows.empty()) m_rows.emplace_back();
}

void RunBatch(const RenameSettings& settings, bool execute, ResultTable& table, platform::FileSystem& fileSystem,
              const platform::TextCase& textCase)
{
    SectionMap map;
    if (settings.StructureChange) map = ValidateSectionMap(settings.MapCells, settings.SectionCount);

    table.Start();
    const std::string folderPath = WithTrailingBackslash(settings.Folder);

    const platform::FolderNameRules rules = fileSystem.GetFolderNameRules(folderPath);
    // The names this run gave (a test run: would give), so that a renamed
    // file the enumeration delivers again under its new name is not
    // restructured a second time. They are compared as the folder compares
    // names, so that every other file, another spelling of such a name in a
    // folder that tells case apart included, gets its row.
    NameTable givenNames;
    std::string key;
    const auto keyOf = [&](const std::string& name) -> std::string_view {
        if (rules.Case == platform::NameCase::Exact) return name;
        fileSystem.NameKey(name, rules.Case, key);
        return key;
    };
    // A test run plays the renames through, so that each row says what the
    // execute run on the same folder will do.
    RenameForecast forecast(fileSystem, folderPath, rules);

    // An execute run names its folder once and renames by name inside it.
    const std::unique_ptr<platform::FolderHandle> folder = execute ? fileSystem.OpenFolder(folderPath) : nullptr;

    if (const std::unique_ptr<platform::FindHandle> enumeration =
            OpenEnumeration(fileSystem, folderPath, settings.FileMask)) {
        platform::FindEntry entry;
        while (enumeration->Next(entry)) {
            if ((entry.Attributes & platform::faDirectory) != 0 || entry.Name == "." || entry.Name == "..") continue;
            if (givenNames.Size() != 0 && givenNames.Contains(keyOf(entry.Name))) continue;

            Restructuring restructuring = RestructureName(entry.Name, settings, map, textCase);

            ResultRow row;
            row.Status = restructuring.Restructured ? engine_texts::kStatusOk : engine_texts::kStatusNotRestructured;
            // A run never repaints before it ends, so renaming before the row
            // is written lets the row tell whether the rename worked.
            if (restructuring.Restructured) {
                if (execute ? RenameInFolder(*folder, entry.Name, restructuring.NewName, rules)
                            : forecast.Rename(entry.Name, restructuring.NewName)) {
                    givenNames.Add(keyOf(restructuring.NewName));
                } else {
                    row.Status = engine_texts::kStatusFailed;
                }
            }
            row.OldName = std::move(entry.Name);
            row.NewName = std::move(restructuring.NewName);
            table.Add(row);
        }
    }
    table.Finish();
}

}  // namespace quorvane
