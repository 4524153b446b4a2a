#include "widgets/GridsAccessible.h"

#include "framework/Accessibility.h"
#include "framework/NarrowText.h"
#include "widgets/Grids.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace quorvane {

namespace {

// Table rows count from the first row below the fixed rows; the fixed rows
// themselves are the column headers. Columns are the grid's columns: a fixed
// column holds data the user reads (the status of a file, the number of an
// old section), so it stays an ordinary column of the table.
int TableRow(const TCustomGrid& grid, int gridRow) { return gridRow - grid.FixedRows(); }

// A grid may hold far more cells than a listener can take in one answer (a
// table grown to a hundred million rows, all of them selected); lists of
// cells, rows or columns stop at this many entries, and the child count at
// the largest int.
constexpr int kMaxListed = 65536;

quint64 CellKey(int col, int row) { return (quint64(quint32(row)) << 32) | quint32(col); }

class TGridAccessible;

// One cell of a string grid. It holds its address, not its text, so that it
// always reads what the grid holds now.
class TGridCellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TGridCellAccessible(TStringGrid* grid, int col, int row) : m_grid(grid), m_col(col), m_row(row) {}

    bool isValid() const override
    {
        return m_grid != nullptr && m_col < m_grid->ColCount() && m_row < m_grid->RowCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid != nullptr ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid()) return {};
        return ToQString(m_grid->Cells(m_col, m_row));
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!isValid()) return {};
        const QRect cell = m_grid->CellRect(m_col, m_row);
        if (cell.isEmpty()) return {};
        return QRect(m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::Role role() const override
    {
        return IsHeader() ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        if (m_grid->CellRect(m_col, m_row).isEmpty()) {
            state.invisible = true;
            state.offscreen = true;
        }
        if (IsHeader()) return state;
        state.focusable = true;
        state.selectable = true;
        const bool current = m_col == m_grid->Col() && m_row == m_grid->Row();
        state.active = current;
        state.focused = current && m_grid->hasFocus();
        state.selected = isSelected();
        if (!m_grid->isEnabled()) state.disabled = true;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return isValid() && !IsHeader() && m_col >= m_grid->FixedCols() && m_grid->Selection().Contains(m_col, m_row);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_col; }
    int rowIndex() const override { return IsHeader() ? m_row : TableRow(*m_grid, m_row); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    int Col() const { return m_col; }
    int Row() const { return m_row; }
    const TStringGrid* Grid() const { return m_grid.data(); }

private:
    bool IsHeader() const { return m_grid != nullptr && m_row < m_grid->FixedRows(); }

    QPointer<TStringGrid> m_grid;
    int m_col;
    int m_row;
};

// The string grid as a table. Cell interfaces are made when a listener asks
// for them and kept, each under its cell's address, until the cell leaves
// the grid: a screen reader holds on to the cells it has seen.
class TGridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TGridAccessible(TStringGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

    ~TGridAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_cells)) QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The children are the cells, row by row, the header row first.
    int childCount() const override
    {
        const qint64 cells = qint64{Grid()->RowCount()} * Grid()->ColCount();
        return static_cast<int>(std::min<qint64>(cells, std::numeric_limits<int>::max()));
    }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount()) return nullptr;
        return Cell(index % Grid()->ColCount(), index / Grid()->ColCount());
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = dynamic_cast<const TGridCellAccessible*>(child);
        if (cell == nullptr || cell->Grid() != Grid() || !cell->isValid()) return -1;
        const qint64 index = qint64{cell->Row()} * Grid()->ColCount() + cell->Col();
        return index < childCount() ? static_cast<int>(index) : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint point = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
        if (!Grid()->viewport()->rect().contains(point)) return nullptr;
        int col = -1;
        int row = -1;
        Grid()->MouseToCell(point.x(), point.y(), col, row);
        return col >= 0 && row >= 0 ? Cell(col, row) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        return Grid()->hasFocus() ? Cell(Grid()->Col(), Grid()->Row()) : nullptr;
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    int rowCount() const override { return std::max(0, Grid()->RowCount() - Grid()->FixedRows()); }
    int columnCount() const override { return Grid()->ColCount(); }

    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
        return Cell(column, row + Grid()->FixedRows());
    }

    QString columnDescription(int column) const override
    {
        if (column < 0 || column >= columnCount() || Grid()->FixedRows() == 0) return {};
        return ToQString(Grid()->Cells(column, Grid()->FixedRows() - 1));
    }
    QString rowDescription(int) const override { return {}; }

    int selectedCellCount() const override
    {
        const TGridRect selection = DataSelection();
        const qint64 cells = qint64{selection.Right - selection.Left + 1} * (selection.Bottom - selection.Top + 1);
        return static_cast<int>(std::clamp<qint64>(cells, 0, std::numeric_limits<int>::max()));
    }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (const auto& [col, row] : SelectedCells()) cells.append(Cell(col, row));
        return cells;
    }
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }

    // A row counts as selected when the selection spans all its data
    // columns, a column when it spans all data rows.
    QList<int> selectedColumns() const override
    {
        QList<int> columns;
        const TGridRect selection = Grid()->Selection();
        if (selection.Top > Grid()->FixedRows() || selection.Bottom < Grid()->RowCount() - 1) return columns;
        for (int col = std::max(selection.Left, Grid()->FixedCols()); col <= selection.Right && columns.size() < kMaxListed;
             ++col) {
            columns.append(col);
        }
        return columns;
    }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        const TGridRect selection = Grid()->Selection();
        if (selection.Left > Grid()->FixedCols() || selection.Right < Grid()->ColCount() - 1) return rows;
        for (int row = std::max(selection.Top, Grid()->FixedRows()); row <= selection.Bottom && rows.size() < kMaxListed;
             ++row) {
            rows.append(TableRow(*Grid(), row));
        }
        return rows;
    }
    bool isColumnSelected(int column) const override { return selectedColumns().contains(column); }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }

    // The selection follows the user's cursor; a screen reader does not
    // change it.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    void modelChange(QAccessibleTableModelChangeEvent*) override { DropVanishedCells(); }

    QAccessibleInterface* Cell(int col, int row) const
    {
        const quint64 key = CellKey(col, row);
        auto found = m_cells.constFind(key);
        if (found != m_cells.constEnd()) return QAccessible::accessibleInterface(*found);
        auto* cell = new TGridCellAccessible(Grid(), col, row);
        m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

    // The interface of a cell that a listener has already been given, or
    // nullptr: a cell nobody has heard of needs no announcement of its own.
    QAccessibleInterface* KnownCell(int col, int row) const
    {
        auto found = m_cells.constFind(CellKey(col, row));
        return found != m_cells.constEnd() ? QAccessible::accessibleInterface(*found) : nullptr;
    }

    void DropVanishedCells()
    {
        for (auto it = m_cells.begin(); it != m_cells.end();) {
            const int col = int(quint32(it.key()));
            const int row = int(it.key() >> 32);
            if (col < Grid()->ColCount() && row < Grid()->RowCount()) {
                ++it;
                continue;
            }
            QAccessible::deleteAccessibleInterface(it.value());
            it = m_cells.erase(it);
        }
    }

    TStringGrid* Grid() const { return static_cast<TStringGrid*>(widget()); }

private:
    // The selection without the fixed cells, which are never selected.
    TGridRect DataSelection() const
    {
        TGridRect selection = Grid()->Selection();
        selection.Left = std::max(selection.Left, Grid()->FixedCols());
        selection.Top = std::max(selection.Top, Grid()->FixedRows());
        return selection;
    }

    std::vector<std::pair<int, int>> SelectedCells() const
    {
        std::vector<std::pair<int, int>> cells;
        const TGridRect selection = DataSelection();
        for (int row = selection.Top; row <= selection.Bottom; ++row) {
            for (int col = selection.Left; col <= selection.Right; ++col) {
                if (cells.size() == static_cast<std::size_t>(kMaxListed)) return cells;
                cells.emplace_back(col, row);
            }
        }
        return cells;
    }

    mutable QHash<quint64, QAccessible::Id> m_cells;
};

QList<QAccessibleInterface*> TGridCellAccessible::columnHeaderCells() const
{
    QList<QAccessibleInterface*> headers;
    if (!isValid() || IsHeader()) return headers;
    auto* table = dynamic_cast<TGridAccessible*>(parent());
    if (table == nullptr) return headers;
    for (int row = 0; row < m_grid->FixedRows(); ++row) headers.append(table->Cell(m_col, row));
    return headers;
}

QAccessibleInterface* GridInterface(const QString& key, QObject* object)
{
    if (key != QLatin1String("quorvane::TStringGrid")) return nullptr;
    auto* grid = qobject_cast<TStringGrid*>(object);
    return grid != nullptr ? new TGridAccessible(grid) : nullptr;
}

// The table of a grid while a listener is there; nullptr otherwise, so the
// grid's work costs nothing more without one.
TGridAccessible* ListenedTable(TCustomGrid& grid)
{
    if (!AccessibleEventsWanted()) return nullptr;
    return dynamic_cast<TGridAccessible*>(QAccessible::queryAccessibleInterface(&grid));
}

void Announce(QAccessibleInterface* cell, QAccessible::Event type)
{
    if (cell == nullptr) return;
    QAccessibleEvent event(cell, type);
    SendAccessibleEvent(event);
}

// Tells listeners that table lines from `oldCount` to `newCount` (in the
// grid's own numbering) came or went.
void AnnounceLines(TCustomGrid& grid, int oldCount, int newCount, int firstTableLine, bool rows)
{
    if (oldCount == newCount) return;
    using Change = QAccessibleTableModelChangeEvent;
    const bool added = newCount > oldCount;
    const Change::ModelChangeType type =
        rows ? (added ? Change::RowsInserted : Change::RowsRemoved) : (added ? Change::ColumnsInserted : Change::ColumnsRemoved);
    Change event(&grid, type);
    const int first = std::max(0, std::min(oldCount, newCount) - firstTableLine);
    const int last = std::max(0, std::max(oldCount, newCount) - 1 - firstTableLine);
    if (rows) {
        event.setFirstRow(first);
        event.setLastRow(last);
    } else {
        event.setFirstColumn(first);
        event.setLastColumn(last);
    }
    SendAccessibleEvent(event);
}

}  // namespace

namespace gridaccess {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&GridInterface);
        return true;
    }();
    (void)installed;
}

void CurrentMoved(TCustomGrid& grid)
{
    TGridAccessible* table = ListenedTable(grid);
    if (table == nullptr) return;
    QAccessibleInterface* cell = table->Cell(grid.Col(), grid.Row());
    Announce(cell, grid.hasFocus() ? QAccessible::Focus : QAccessible::Selection);
}

void FocusEntered(TCustomGrid& grid)
{
    if (!AccessibleEventsWanted()) return;
    QMetaObject::invokeMethod(
        &grid,
        [target = QPointer<TCustomGrid>(&grid)] {
            if (target != nullptr && target->hasFocus()) CurrentMoved(*target);
        },
        Qt::QueuedConnection);
}

void CellChanged(TCustomGrid& grid, int col, int row)
{
    TGridAccessible* table = ListenedTable(grid);
    if (table == nullptr) return;
    QAccessibleTableModelChangeEvent event(&grid, QAccessibleTableModelChangeEvent::DataChanged);
    event.setFirstRow(TableRow(grid, row));
    event.setLastRow(TableRow(grid, row));
    event.setFirstColumn(col);
    event.setLastColumn(col);
    SendAccessibleEvent(event);
    Announce(table->KnownCell(col, row), QAccessible::NameChanged);
}

void CountsChanged(TCustomGrid& grid, int oldColCount, int oldRowCount)
{
    TGridAccessible* table = ListenedTable(grid);
    if (table == nullptr) return;
    table->DropVanishedCells();
    AnnounceLines(grid, oldRowCount, grid.RowCount(), grid.FixedRows(), true);
    AnnounceLines(grid, oldColCount, grid.ColCount(), 0, false);
}

void NameEditor(TCustomGrid& grid, QWidget& editor)
{
    auto* strings = qobject_cast<TStringGrid*>(&grid);
    if (strings == nullptr) return;
    const int col = grid.Col();
    const int row = grid.Row();
    // The headers name the cell as the user sees it; a grid without them
    // falls back to the cell's numbers.
    QString column = grid.FixedRows() > 0 ? ToQString(strings->Cells(col, 0)) : QString();
    if (column.isEmpty()) column = QString::number(col);
    QString line = grid.FixedCols() > 0 ? ToQString(strings->Cells(0, row)) : QString();
    if (line.isEmpty()) line = QString::number(row);
    editor.setAccessibleName(column + QLatin1Char(' ') + line);
}

}  // namespace gridaccess

}  // namespace quorvane
