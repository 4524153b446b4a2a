#include "engine/UndoRecord.h"

#include "engine/EngineTexts.h"
#include "runtime/FolderPath.h"

#include <utility>

namespace quorvane {

void UndoRecord::Start(std::string folder)
{
    m_renames.clear();
    m_folder = std::move(folder);
}

void UndoRecord::Add(std::string oldName, std::string newName)
{
    m_renames.push_back({std::move(oldName), std::move(newName)});
}

void UndoRecord::Clear()
{
    m_renames.clear();
    m_folder.clear();
}

UndoRecordingTable::UndoRecordingTable(ResultTable& table, UndoRecord& record, std::string folder)
    : m_table(table), m_record(record), m_folder(std::move(folder))
{
}

void UndoRecordingTable::Start()
{
    m_record.Start(m_folder);
    m_table.Start();
}

void UndoRecordingTable::Add(const ResultRow& row)
{
    if (row.Status == engine_texts::kStatusOk && row.OldName != row.NewName) m_record.Add(row.OldName, row.NewName);
    m_table.Add(row);
}

void UndoRecordingTable::Finish() { m_table.Finish(); }

void UndoRenames(UndoRecord& record, ResultTable& table, platform::FileSystem& fileSystem)
{
    const std::string folderPath = WithTrailingBackslash(record.Folder());

    table.Start();
    for (auto rename = record.Renames().rbegin(); rename != record.Renames().rend(); ++rename) {
        // The file system's rename never replaces an existing file, so a file
        // that took the old name meanwhile is left alone.
        const bool renamed =
            fileSystem.MoveFile(folderPath + rename->NewName, folderPath + rename->OldName) == platform::kErrorSuccess;
        table.Add({renamed ? engine_texts::kStatusOk : engine_texts::kStatusFailed, rename->NewName, rename->OldName});
    }
    table.Finish();
    record.Clear();
}

}  // namespace quorvane
