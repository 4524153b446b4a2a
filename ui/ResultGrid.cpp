#include "ui/ResultGrid.h"

#include "widgets/Grids.h"

namespace quorvane {

void TGridResultTable::Start() { m_grid.SetRowCount(2); }

void TGridResultTable::Add(const ResultRow& row)
{
    const int last = m_grid.RowCount() - 1;
    m_grid.SetCells(0, last, row.Status);
    m_grid.SetCells(1, last, row.OldName);
    m_grid.SetCells(2, last, row.NewName);
    m_grid.SetRowCount(m_grid.RowCount() + 1);
}

void TGridResultTable::Finish()
{
    if (m_grid.RowCount() == 2) {
        for (int col = 0; col < 3; ++col) m_grid.SetCells(col, 1, "");
    } else {
        m_grid.SetRowCount(m_grid.RowCount() - 1);
    }
}

}  // namespace quorvane
