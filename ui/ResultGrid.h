#pragma once

#include "engine/BatchRun.h"

namespace quorvane {

class TStringGrid;

// The result grid of the main window as the table a batch run writes into:
// the header row stays, each row goes into the grid's last row, which then
// grows by one, so the grid always ends in an empty row while the run lasts.
class TGridResultTable final : public ResultTable {
public:
    explicit TGridResultTable(TStringGrid& grid) : m_grid(grid) {}

    void Start() override;
    void Add(const ResultRow& row) override;
    // Removes that empty last row again, or, when no file was listed,
    // clears the one data row of what an earlier run left in it.
    void Finish() override;

private:
    TStringGrid& m_grid;
};

}  // namespace quorvane
