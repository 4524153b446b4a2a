#pragma once

#include "engine/BatchRun.h"
#include "platform/FileSystem.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvane {

// The renames of one execute run, in the order in which they were done, so
// that the user can take them back. It lives in memory only. Each rename
// keeps what identifies the file, and the record keeps what identifies the
// folder and where it is, so that the undo renames nothing but the very
// files the run renamed.
class UndoRecord {
public:
    struct Rename {
        std::string OldName;
        std::string NewName;
        // The file as the run left it under NewName.
        platform::EntryStamp File;
    };

    // Forgets every rename and remembers the folder for the ones to come:
    // its location as the file system reads it back, and its stamp.
    void Start(std::string location, platform::EntryStamp folder);
    void Add(Rename rename);
    void Clear();

    bool Empty() const { return m_renames.empty(); }
    const std::string& Location() const { return m_location; }
    const platform::EntryStamp& FolderStamp() const { return m_folder; }
    const std::vector<Rename>& Renames() const { return m_renames; }

private:
    friend void UndoRenames(UndoRecord& record, ResultTable& table, platform::FileSystem& fileSystem);

    std::string m_location;
    platform::EntryStamp m_folder;
    std::vector<Rename> m_renames;
};

// Passes every row of an execute run on to `table` and keeps the renames
// that the rows report in `record`: an "Ok" row whose new name differs from
// the old one is a file the run renamed. The record starts afresh when the
// run starts writing rows, so a run stopped by a map error leaves the
// previous record as it was. The folder is open from Start to Finish only.
class UndoRecordingTable final : public ResultTable {
public:
    UndoRecordingTable(ResultTable& table, UndoRecord& record, std::string folder,
                       platform::FileSystem& fileSystem = platform::HostFileSystem());
    ~UndoRecordingTable() override;

    void Start() override;
    void Add(const ResultRow& row) override;
    void Finish() override;

private:
    ResultTable& m_table;
    UndoRecord& m_record;
    std::string m_folderPath;
    platform::FileSystem& m_fileSystem;
    std::unique_ptr<platform::IdentifiedFolder> m_folder;
};

// Renames every file of `record` back to its old name, the last rename
// first, and writes one row per file into `table`, with the name the file
// had and the name it gets back: "Ok" when the file has its old name again,
// "Fehler" when it could not get it, with nothing moved: the file is gone
// or is another one now, its old name was taken meanwhile, or the folder is
// not the run's folder any more (replaced, or reached only through a
// symbolic link). The renames that failed stay in the record, so that a
// later undo can try them again.
void UndoRenames(UndoRecord& record, ResultTable& table,
                 platform::FileSystem& fileSystem = platform::HostFileSystem());

// The execute runs of the session that can still be taken back, the newest
// on top, in memory only.
class UndoStack {
public:
    bool Empty() const { return m_runs.empty(); }
    std::size_t Size() const { return m_runs.size(); }

    // Puts a run on top, unless it renamed nothing.
    void Push(UndoRecord run);

    // Takes back what can be taken back of the newest run (UndoRenames); the
    // run leaves the stack once every one of its files has its old name, so
    // a run whose undo failed in part is tried again first next time.
    void UndoNewest(ResultTable& table, platform::FileSystem& fileSystem = platform::HostFileSystem());

private:
    std::vector<UndoRecord> m_runs;
};

}  // namespace quorvane
