#pragma once

class QWidget;

namespace quorvane {

class TCustomGrid;

// What a grid tells screen readers about itself. A string grid is published
// as a table: its fixed rows are the column headers, every other row a row
// of the table, each cell with its text; the current cell is the focused
// and selected one. The grid calls these when something a listener must
// hear about has happened; they cost nothing while no screen reader or
// other assistive technology listens.
namespace gridaccess {

// Makes Qt build the table interfaces for string grids; done once.
void Install();

// The current cell moved: the new cell is announced as focused, or as
// selected while another control has the focus.
void CurrentMoved(TCustomGrid& grid);

// The grid took the focus. Qt announces the grid itself once the focus has
// arrived, so the current cell is announced after that, when the events
// waiting now have been handled; a screen reader then rests on the cell.
void FocusEntered(TCustomGrid& grid);

// A cell's text changed.
void CellChanged(TCustomGrid& grid, int col, int row);

// Rows or columns came or went; the counts before the change are given.
void CountsChanged(TCustomGrid& grid, int oldColCount, int oldRowCount);

// The in-place editor over the current cell is named by the cell's column
// and row headers, so the field is heard as "neuer Abschnitt 2", not "edit".
void NameEditor(TCustomGrid& grid, QWidget& editor);

}  // namespace gridaccess

}  // namespace quorvane
