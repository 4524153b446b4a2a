#include "engine/UndoRecord.h"

#include "engine/EngineTexts.h"

#include <algorithm>
#include <utility>

namespace quorvane {

void UndoRecord::Start(std::string location, platform::EntryStamp folder)
{
    m_renames.clear();
    m_location = std::move(location);
    m_folder = folder;
}

void UndoRecord::Add(Rename rename) { m_renames.push_back(std::move(rename)); }

void UndoRecord::Clear()
{
    m_renames.clear();
    m_location.clear();
    m_folder = {};
}

UndoRecordingTable::UndoRecordingTable(ResultTable& table, UndoRecord& record, std::string folder,
                                       platform::FileSystem& fileSystem)
    : m_table(table), m_record(record), m_folderPath(std::move(folder)), m_fileSystem(fileSystem)
{
}

UndoRecordingTable::~UndoRecordingTable() = default;

void UndoRecordingTable::Start()
{
    // A folder that cannot be identified leaves a record that no undo can
    // use: every file of it says "Fehler" rather than being renamed blindly.
    m_folder = m_fileSystem.OpenIdentifiedFolder(m_folderPath);
    if (m_folder) {
        m_record.Start(m_folder->Location(), m_folder->Stamp());
    } else {
        m_record.Start({}, {});
    }
    m_table.Start();
}

// The run writes a row right after its rename, so the file is stamped under
// its new name the moment it got it.
void UndoRecordingTable::Add(const ResultRow& row)
{
    if (row.Status == engine_texts::kStatusOk && row.OldName != row.NewName) {
        m_record.Add({row.OldName, row.NewName, m_folder ? m_folder->StampOf(row.NewName) : platform::EntryStamp{}});
    }
    m_table.Add(row);
}

void UndoRecordingTable::Finish()
{
    m_folder.reset();
    m_table.Finish();
}

void UndoRenames(UndoRecord& record, ResultTable& table, platform::FileSystem& fileSystem)
{
    // The folder is looked for anew: one kept open between runs would keep
    // its stick from being ejected.
    std::unique_ptr<platform::IdentifiedFolder> folder =
        record.m_location.empty() ? nullptr : fileSystem.ReopenIdentifiedFolder(record.m_location);
    if (folder && !platform::SameEntry(record.m_folder, folder->Stamp())) folder.reset();

    std::vector<UndoRecord::Rename> failed;
    table.Start();
    for (auto rename = record.m_renames.rbegin(); rename != record.m_renames.rend(); ++rename) {
        // The rename checks right before it that the file is still the one
        // the run renamed, and never replaces a file that took the old name.
        const bool renamed =
            folder && folder->MoveFileIfSame(rename->NewName, rename->OldName, rename->File) == platform::kErrorSuccess;
        table.Add({renamed ? engine_texts::kStatusOk : engine_texts::kStatusFailed, rename->NewName, rename->OldName});
        if (!renamed) failed.push_back(std::move(*rename));
    }
    table.Finish();
    std::reverse(failed.begin(), failed.end());
    record.m_renames = std::move(failed);
}

void UndoStack::Push(UndoRecord run)
{
    if (!run.Empty()) m_runs.push_back(std::move(run));
}

void UndoStack::UndoNewest(ResultTable& table, platform::FileSystem& fileSystem)
{
    if (m_runs.empty()) return;
    UndoRenames(m_runs.back(), table, fileSystem);
    if (m_runs.back().Empty()) m_runs.pop_back();
}

}  // namespace quorvane
