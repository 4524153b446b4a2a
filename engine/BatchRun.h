#pragma once

#include "engine/RenameSettings.h"
#include "platform/FileSystem.h"
#include "platform/TextCase.h"

#include <vector>

namespace quorvane {

// Where a batch run writes its rows: Start once, Add once per listed file in
// listing order, Finish once. The main window's result grid is one; a run
// without a window collects the rows in a ResultList.
class ResultTable {
public:
    virtual ~ResultTable() = default;

    virtual void Start() = 0;
    virtual void Add(const ResultRow& row) = 0;
    virtual void Finish() = 0;
};

// A table without a window. After Finish it holds one row per listed file, or
// one empty row when no file was listed, as the result grid shows it.
class ResultList final : public ResultTable {
public:
    const std::vector<ResultRow>& Rows() const { return m_rows; }

    void Start() override;
    void Add(const ResultRow& row) override;
    void Finish() override;

private:
    std::vector<ResultRow> m_rows;
};

// Lists every file of settings.Folder that matches settings.FileMask, gives
// each one row with its new name and, when `execute` is true, renames every
// file whose name could be restructured right away. A row says "Ok" when the
// name was restructured, "--" when not, and "Fehler" when an execute run
// could not rename the file; a test run says "Fehler" where the execute run
// on the same, unchanged folder would. A new name that would hide a visible
// file (see IsUsableNewName) is never used. A file met under a name that this
// run gave a file (a test run: would give) is passed over, so a renamed file
// is never renamed twice; names are compared there as the folder's file
// system compares them, and every other matching file gets its row.
//
// Raises the errors of ValidateSectionMap before anything is written or
// touched: SectionMapError with the row of the failing cell, EConvertError
// for a cell that is no integer, Exception for a section count outside 2..10
// (which the main window never lets through).
void RunBatch(const RenameSettings& settings, bool execute, ResultTable& table,
              platform::FileSystem& fileSystem = platform::HostFileSystem(),
              const platform::TextCase& textCase = platform::HostTextCase());

}  // namespace quorvane
