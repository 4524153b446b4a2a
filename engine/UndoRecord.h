#pragma once

#include "engine/BatchRun.h"
#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace quorvane {

// The renames of one execute run, in the order in which they were done, so
// that the user can take them back. It lives in memory only.
class UndoRecord {
public:
    struct Rename {
        std::string OldName;
        std::string NewName;
    };

    // Forgets every rename and remembers `folder` for the ones to come.
    void Start(std::string folder);
    void Add(std::string oldName, std::string newName);
    void Clear();

    bool Empty() const { return m_renames.empty(); }
    const std::string& Folder() const { return m_folder; }
    const std::vector<Rename>& Renames() const { return m_renames; }

private:
    std::string m_folder;
    std::vector<Rename> m_renames;
};

// Passes every row of an execute run on to `table` and keeps the renames
// that the rows report in `record`: an "Ok" row whose new name differs from
// the old one is a file the run renamed. The record starts afresh when the
// run starts writing rows, so a run stopped by a map error leaves the
// previous record as it was.
class UndoRecordingTable final : public ResultTable {
public:
    UndoRecordingTable(ResultTable& table, UndoRecord& record, std::string folder);

    void Start() override;
    void Add(const ResultRow& row) override;
    void Finish() override;

private:
    ResultTable& m_table;
    UndoRecord& m_record;
    std::string m_folder;
};

// Renames every file of `record` back to its old name, the last rename
// first, never replacing a file, and writes one row per file into `table`:
// "Ok" when the file has its old name again, "Fehler" when it could not get
// it (the file is gone, or its old name was taken meanwhile), with the name
// the file had and the name it gets back. The record is empty afterwards.
void UndoRenames(UndoRecord& record, ResultTable& table,
                 platform::FileSystem& fileSystem = platform::HostFileSystem());

}  // namespace quorvane
