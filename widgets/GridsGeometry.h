#pragma once

#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

namespace quorvane {

// One direction of a grid: the columns with their widths, or the rows with
// their heights. Positions are in the grid's client coordinates. A cell
// whose stored size is 0 or negative takes no room at all, not even its
// line, so a column squeezed below nothing by a narrow window simply
// disappears instead of overlapping its neighbours.
struct TGridAxis {
    int Count = 0;
    int FixedCount = 0;
    // The size of every cell after the stored ones.
    int DefaultSize = 0;
    // The stored sizes of the leading cells, or nullptr while every cell
    // has DefaultSize.
    const std::vector<int>* Sizes = nullptr;
    // Width of the line after each cell; 0 when lines are switched off.
    int LineWidth = 0;
    // The first non-fixed cell in view (the left column or the top row).
    int FirstScrolled = 0;
    // Width or height of the client area.
    int ClientExtent = 0;

    int Size(int index) const;
    // Pixels the cell takes including its line; 0 for a hidden cell.
    int Extent(int index) const;
    int FixedExtent() const;

    // Where the cell starts, or nothing when it is not in view.
    std::optional<int> Start(int index) const;
    // The cell at a position, or -1 outside every cell in view. A grid line
    // belongs to the cell before it.
    int IndexAt(int position) const;

    // How many cells from FirstScrolled on fit into the client area,
    // counting the partly shown last one, whatever the count is. Cells
    // below that number (and the fixed ones) are the only ones in view.
    int ScrolledSpan() const;
    // Non-fixed cells entirely in view (at least 1), the page for paging.
    int FullyVisibleCount() const;
    // The last cell in view, at least partly.
    int LastVisible() const;
    // The largest FirstScrolled that still fills the client area: scrolling
    // further would only show empty space below or right of the last cell.
    int MaxFirstScrolled() const;
};

// The zones in which a press starts sizing a column: from h pixels left of
// the line's start to 7 - h pixels right of it, h = (7 - line width) / 2, for
// lines up to 6 pixels wide; on wider lines, the line itself.
struct TSizingZone {
    int Left = 0;
    int Right = 0;  // inclusive
};
TSizingZone SizingZoneAround(int lineStart, int lineWidth);

// Cell rectangles and hit tests of a whole grid, without painting, so that
// mouse handling and tests ask the same questions.
class TGridGeometry {
public:
    TGridGeometry(const TGridAxis& cols, const TGridAxis& rows) : m_cols(cols), m_rows(rows) {}

    const TGridAxis& Cols() const { return m_cols; }
    const TGridAxis& Rows() const { return m_rows; }

    // The cell's rectangle without its lines; empty when the cell is out of
    // view or hidden.
    QRect CellRect(int col, int row) const;
    // The cell under a point; false when the point is on no cell in view.
    bool CellAt(QPoint point, int& col, int& row) const;
    // The non-fixed column whose sizing zone holds the point, if the point
    // lies in the fixed rows right of the fixed columns.
    std::optional<int> SizingColumnAt(QPoint point) const;

private:
    TGridAxis m_cols;
    TGridAxis m_rows;
};

}  // namespace quorvane
