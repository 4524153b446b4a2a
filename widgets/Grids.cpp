#include "widgets/Grids.h"

#include "runtime/Exceptions.h"
#include "widgets/GridsAccessible.h"
#include "widgets/GridsMessages.h"

#include <QMetaObject>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <new>

namespace quorvane {

namespace {

// The largest list of widths or heights a grid keeps.
constexpr int kMaxSizeListEntries = 134217725;

constexpr int kDragScrollInterval = 60;

void ResizeSizeList(std::optional<TGridSizeList>& list, int count, int defaultSize)
{
    if (!list) return;
    if (count > kMaxSizeListEntries) throw EInvalidGridOperation(messages::kGridTooLarge);
    try {
        list->Resize(count, defaultSize);
    } catch (const std::bad_alloc&) {
        throw EInvalidGridOperation(messages::kGridTooLarge);
    }
}

void CreateSizeList(std::optional<TGridSizeList>& list, int count, int defaultSize)
{
    if (list) return;
    if (count > kMaxSizeListEntries) throw EInvalidGridOperation(messages::kGridTooLarge);
    list.emplace(count, defaultSize);
}

// Writes one size, with memory running out reported as the grid does.
void SetSize(TGridSizeList& list, int index, int size)
{
    try {
        list.Set(index, size);
    } catch (const std::bad_alloc&) {
        throw EInvalidGridOperation(messages::kGridTooLarge);
    }
}

// The axis sees the stored entries and, as its default, the size of every
// entry after them; a list without stored entries is no list to it, so
// that it can take the fast way over cells of one size.
const std::vector<int>* StoredSizes(const std::optional<TGridSizeList>& list)
{
    return list && !list->Stored().empty() ? &list->Stored() : nullptr;
}

int SizeAfterStored(const std::optional<TGridSizeList>& list, int defaultSize)
{
    return list ? list->TailSize() : defaultSize;
}

}  // namespace

TCustomGrid::TCustomGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setFocusProxy(this);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);

    m_dragTimer = new QTimer(this);
    m_dragTimer->setObjectName("DragScrollTimer");
    m_dragTimer->setInterval(kDragScrollInterval);
    connect(m_dragTimer, &QTimer::timeout, this, [this] { DragScrollTick(); });

    ApplyScrollBarPolicy();
    ScheduleScrollRange();
    gridaccess::Install();
}

TCustomGrid::~TCustomGrid() { ReleaseMouseCapture(this); }

TGridAxis TCustomGrid::ColAxis() const
{
    const bool lines = m_options.Contains(goVertLine) || m_options.Contains(goFixedVertLine);
    return {m_colCount, m_fixedCols, SizeAfterStored(m_colWidths, m_defaultColWidth), StoredSizes(m_colWidths),
            lines ? m_gridLineWidth : 0, m_topLeft.X, viewport()->width()};
}

TGridAxis TCustomGrid::RowAxis() const
{
    const bool lines = m_options.Contains(goHorzLine) || m_options.Contains(goFixedHorzLine);
    return {m_rowCount, m_fixedRows, SizeAfterStored(m_rowHeights, m_defaultRowHeight), StoredSizes(m_rowHeights),
            lines ? m_gridLineWidth : 0, m_topLeft.Y, viewport()->height()};
}

TGridGeometry TCustomGrid::Geometry() const { return TGridGeometry(ColAxis(), RowAxis()); }

QRect TCustomGrid::CellRect(int col, int row) const { return Geometry().CellRect(col, row); }

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    if (!Geometry().CellAt(QPoint(x, y), col, row)) {
        col = -1;
        row = -1;
    }
}

void TCustomGrid::SetColCount(int value)
{
    if (value == m_colCount) return;
    value = std::max(value, 1);
    const int oldCount = m_colCount;
    const int oldFixed = m_fixedCols;
    // A grid cut below its header column keeps no fixed column, and growing
    // it again does not bring one back.
    if (m_fixedCols >= value) m_fixedCols = value - 1;
    try {
        ResizeSizeList(m_colWidths, value, m_defaultColWidth);
    } catch (...) {
        m_fixedCols = oldFixed;
        throw;
    }
    m_colCount = value;
    if (m_fixedCols != oldFixed) m_spansValid = false;
    AfterSizeChange(oldCount, m_rowCount, m_fixedCols != oldFixed);
}

void TCustomGrid::SetRowCount(int value)
{
    if (value == m_rowCount) return;
    value = std::max(value, 1);
    const int oldCount = m_rowCount;
    const int oldFixed = m_fixedRows;
    if (m_fixedRows >= value) m_fixedRows = value - 1;
    try {
        ResizeSizeList(m_rowHeights, value, m_defaultRowHeight);
    } catch (...) {
        m_fixedRows = oldFixed;
        throw;
    }
    m_rowCount = value;
    if (m_fixedRows != oldFixed) m_spansValid = false;
    AfterSizeChange(m_colCount, oldCount, m_fixedRows != oldFixed);
}

void TCustomGrid::AfterSizeChange(int oldColCount, int oldRowCount, bool fixedChanged)
{
    // Only cells that vanished can force the view back; a grid that grows
    // keeps showing what it showed.
    const bool shrunk = m_colCount < oldColCount || m_rowCount < oldRowCount;
    gridaccess::CountsChanged(*this, oldColCount, oldRowCount);
    if (m_anchor.X >= m_colCount || m_anchor.Y >= m_rowCount) {
        m_anchor = {std::min(m_anchor.X, m_colCount - 1), std::min(m_anchor.Y, m_rowCount - 1)};
    }
    const TGridCoord target{std::min(m_current.X, m_colCount - 1), std::min(m_current.Y, m_rowCount - 1)};
    if (target != m_current) MoveCurrent(target, TAnchor::Follow, TClick::Fire);
    if (shrunk) ClampTopLeft();

    // Repaint only when a changed row or column is in view: a table growing
    // far below its visible part costs no painting at all.
    if (viewport()->isVisible()) {
        UpdateSpans();
        const int firstChangedCol = std::min(oldColCount, m_colCount);
        const int firstChangedRow = std::min(oldRowCount, m_rowCount);
        const bool colsInView = oldColCount != m_colCount &&
                                (firstChangedCol < m_fixedCols || firstChangedCol - m_topLeft.X < m_colSpan);
        const bool rowsInView = oldRowCount != m_rowCount &&
                                (firstChangedRow < m_fixedRows || firstChangedRow - m_topLeft.Y < m_rowSpan);
        if (colsInView || rowsInView || fixedChanged) InvalidateGrid();
    }
    ScheduleScrollRange();
    if (m_editorMode) PlaceEditor();
}

void TCustomGrid::SetFixedCols(int value)
{
    if (value < 0) throw EInvalidGridOperation(messages::kGridIndexOutOfRange);
    if (value >= m_colCount) throw EInvalidGridOperation(messages::kFixedColsTooBig);
    if (value == m_fixedCols) return;
    m_fixedCols = value;
    m_topLeft.X = value;
    if (m_anchor.X < value) m_anchor.X = value;
    if (m_current.X < value) MoveCurrent({value, m_current.Y}, TAnchor::Follow, TClick::Quiet);
    SizesChanged();
}

void TCustomGrid::SetFixedRows(int value)
{
    if (value < 0) throw EInvalidGridOperation(messages::kGridIndexOutOfRange);
    if (value >= m_rowCount) throw EInvalidGridOperation(messages::kFixedRowsTooBig);
    if (value == m_fixedRows) return;
    m_fixedRows = value;
    m_topLeft.Y = value;
    if (m_anchor.Y < value) m_anchor.Y = value;
    if (m_current.Y < value) MoveCurrent({m_current.X, value}, TAnchor::Follow, TClick::Quiet);
    SizesChanged();
}

void TCustomGrid::SetDefaultColWidth(int value)
{
    if (value == m_defaultColWidth) return;
    m_defaultColWidth = value;
    SizesChanged();
}

void TCustomGrid::SetDefaultRowHeight(int value)
{
    if (value == m_defaultRowHeight) return;
    m_defaultRowHeight = value;
    SizesChanged();
}

void TCustomGrid::SetGridLineWidth(int value)
{
    if (value == m_gridLineWidth) return;
    m_gridLineWidth = std::max(value, 0);
    SizesChanged();
}

int TCustomGrid::ColWidths(int index) const
{
    if (!m_colWidths || index < 0 || index >= m_colCount) return m_defaultColWidth;
    return (*m_colWidths)[index];
}

void TCustomGrid::SetColWidths(int index, int width)
{
    // A negative index is refused like one beyond the last column, rather
    // than written in front of the list.
    if (index < 0 || index >= m_colCount) throw EInvalidGridOperation(messages::kGridIndexOutOfRange);
    CreateSizeList(m_colWidths, m_colCount, m_defaultColWidth);
    if ((*m_colWidths)[index] == width) return;
    SetSize(*m_colWidths, index, width);
    SizesChanged();
}

int TCustomGrid::RowHeights(int index) const
{
    if (!m_rowHeights || index < 0 || index >= m_rowCount) return m_defaultRowHeight;
    return (*m_rowHeights)[index];
}

void TCustomGrid::SetRowHeights(int index, int height)
{
    if (index < 0 || index >= m_rowCount) throw EInvalidGridOperation(messages::kGridIndexOutOfRange);
    CreateSizeList(m_rowHeights, m_rowCount, m_defaultRowHeight);
    if ((*m_rowHeights)[index] == height) return;
    SetSize(*m_rowHeights, index, height);
    SizesChanged();
}

void TCustomGrid::SizesChanged()
{
    m_spansValid = false;
    ClampTopLeft();
    InvalidateGrid();
    ScheduleScrollRange();
    if (m_editorMode) PlaceEditor();
}

void TCustomGrid::SetCol(int value)
{
    if (value == m_current.X) return;
    if (value < 0 || value >= m_colCount) throw EInvalidGridOperation(messages::kGridIndexOutOfRange);
    MoveCurrent({value, m_current.Y}, TAnchor::Follow, TClick::Fire);
}

void TCustomGrid::SetRow(int value)
{
    if (value == m_current.Y) return;
    if (value < 0 || value >= m_rowCount) throw EInvalidGridOperation(messages::kGridIndexOutOfRange);
    MoveCurrent({m_current.X, value}, TAnchor::Follow, TClick::Fire);
}

TGridRect TCustomGrid::Selection() const
{
    return {std::min(m_current.X, m_anchor.X), std::min(m_current.Y, m_anchor.Y), std::max(m_current.X, m_anchor.X),
            std::max(m_current.Y, m_anchor.Y)};
}

bool TCustomGrid::MoveCurrent(TGridCoord target, TAnchor anchor, TClick click)
{
    if (m_onSelectCell) {
        bool canSelect = true;
        m_onSelectCell(*this, target.X, target.Y, canSelect);
        // A cell that no longer exists cannot stay current, whatever the
        // handler says.
        const bool mustMove = m_current.X >= m_colCount || m_current.Y >= m_rowCount;
        if (!canSelect && !mustMove) return false;
    }
    const TGridRect oldSelection = Selection();
    if (m_editorMode && !m_options.Contains(goAlwaysShowEditor)) HideEditor();
    m_current = target;
    if (anchor == TAnchor::Follow) m_anchor = target;
    ScrollIntoView(target);
    InvalidateSelection(oldSelection);
    InvalidateSelection(Selection());
    if (m_editorMode) ShowEditor(true);
    gridaccess::CurrentMoved(*this);
    if (click == TClick::Fire) Click();
    return true;
}

void TCustomGrid::MoveAnchor(TGridCoord target)
{
    if (target == m_anchor) return;
    const TGridRect oldSelection = Selection();
    m_anchor = target;
    InvalidateSelection(oldSelection);
    InvalidateSelection(Selection());
}

void TCustomGrid::ScrollIntoView(TGridCoord cell)
{
    TGridCoord topLeft = m_topLeft;
    if (cell.X >= m_fixedCols) {
        if (cell.X < topLeft.X) {
            topLeft.X = cell.X;
        } else {
            // The first column from which the cell is still entirely in view.
            TGridAxis upToCell = ColAxis();
            upToCell.Count = cell.X + 1;
            topLeft.X = std::max(topLeft.X, upToCell.MaxFirstScrolled());
        }
    }
    if (cell.Y >= m_fixedRows) {
        if (cell.Y < topLeft.Y) {
            topLeft.Y = cell.Y;
        } else {
            TGridAxis upToCell = RowAxis();
            upToCell.Count = cell.Y + 1;
            topLeft.Y = std::max(topLeft.Y, upToCell.MaxFirstScrolled());
        }
    }
    SetTopLeft(topLeft);
}

void TCustomGrid::SetLeftCol(int value)
{
    SetTopLeft({std::clamp(value, m_fixedCols, ColAxis().MaxFirstScrolled()), m_topLeft.Y});
}

void TCustomGrid::SetTopRow(int value)
{
    SetTopLeft({m_topLeft.X, std::clamp(value, m_fixedRows, RowAxis().MaxFirstScrolled())});
}

void TCustomGrid::ClampTopLeft()
{
    SetTopLeft({std::clamp(m_topLeft.X, m_fixedCols, ColAxis().MaxFirstScrolled()),
                std::clamp(m_topLeft.Y, m_fixedRows, RowAxis().MaxFirstScrolled())});
}

void TCustomGrid::SetTopLeft(TGridCoord topLeft)
{
    if (topLeft == m_topLeft) return;
    m_topLeft = topLeft;
    m_spansValid = false;
    InvalidateGrid();
    // While a range update is due, the bars' old ranges would clip the new
    // position; the update sets it.
    if (!m_scrollRangePending) {
        m_syncingBars = true;
        horizontalScrollBar()->setValue(m_topLeft.X - m_fixedCols);
        verticalScrollBar()->setValue(m_topLeft.Y - m_fixedRows);
        m_syncingBars = false;
    }
    if (m_editorMode) PlaceEditor();
}

int TCustomGrid::VisibleColCount() const { return ColAxis().FullyVisibleCount(); }

int TCustomGrid::VisibleRowCount() const { return RowAxis().FullyVisibleCount(); }

void TCustomGrid::UpdateSpans() const
{
    if (m_spansValid) return;
    m_rowSpan = RowAxis().ScrolledSpan();
    m_colSpan = ColAxis().ScrolledSpan();
    m_spansValid = true;
}

bool TCustomGrid::RowInView(int row) const
{
    if (row < 0 || row >= m_rowCount) return false;
    if (row < m_fixedRows) return true;
    UpdateSpans();
    return row >= m_topLeft.Y && row - m_topLeft.Y < m_rowSpan;
}

bool TCustomGrid::ColInView(int col) const
{
    if (col < 0 || col >= m_colCount) return false;
    if (col < m_fixedCols) return true;
    UpdateSpans();
    return col >= m_topLeft.X && col - m_topLeft.X < m_colSpan;
}

void TCustomGrid::InvalidateGrid()
{
    if (viewport()->isVisible()) viewport()->update();
}

void TCustomGrid::InvalidateSelection(const TGridRect& selection)
{
    if (!viewport()->isVisible()) return;
    if (selection.Left == selection.Right && selection.Top == selection.Bottom) {
        if (ColInView(selection.Left) && RowInView(selection.Top)) {
            viewport()->update(CellRect(selection.Left, selection.Top));
        }
    } else {
        viewport()->update();
    }
}

void TCustomGrid::CellChanged(int col, int row)
{
    if (viewport()->isVisible() && ColInView(col) && RowInView(row)) viewport()->update(CellRect(col, row));
    if (col == m_current.X && row == m_current.Y && !m_editorWriting && m_editor != nullptr && m_editor->isVisible()) {
        m_editor->LoadText(GetEditText(col, row));
        m_editor->selectAll();
    }
    gridaccess::CellChanged(*this, col, row);
}

void TCustomGrid::ScheduleScrollRange()
{
    if (m_scrollRangePending) return;
    m_scrollRangePending = true;
    // Many count changes in a row (a batch run appending its results) cost
    // one range update, once the event loop runs again.
    QMetaObject::invokeMethod(this, [this] { UpdateScrollRange(); }, Qt::QueuedConnection);
}

void TCustomGrid::UpdateScrollRange()
{
    m_scrollRangePending = false;
    ClampTopLeft();
    const TGridAxis cols = ColAxis();
    const TGridAxis rows = RowAxis();
    m_syncingBars = true;
    horizontalScrollBar()->setRange(0, cols.MaxFirstScrolled() - m_fixedCols);
    horizontalScrollBar()->setPageStep(cols.FullyVisibleCount());
    horizontalScrollBar()->setValue(m_topLeft.X - m_fixedCols);
    verticalScrollBar()->setRange(0, rows.MaxFirstScrolled() - m_fixedRows);
    verticalScrollBar()->setPageStep(rows.FullyVisibleCount());
    verticalScrollBar()->setValue(m_topLeft.Y - m_fixedRows);
    m_syncingBars = false;
}

void TCustomGrid::scrollContentsBy(int, int)
{
    if (m_syncingBars) return;
    SetTopLeft({m_fixedCols + horizontalScrollBar()->value(), m_fixedRows + verticalScrollBar()->value()});
}

void TCustomGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_spansValid = false;
    ClampTopLeft();
    ScheduleScrollRange();
    if (m_editorMode) PlaceEditor();
}

void TCustomGrid::ApplyScrollBarPolicy()
{
    const bool horizontal = m_scrollBars == ssHorizontal || m_scrollBars == ssBoth;
    const bool vertical = m_scrollBars == ssVertical || m_scrollBars == ssBoth;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TCustomGrid::SetScrollBars(TScrollStyle style)
{
    if (style == m_scrollBars) return;
    m_scrollBars = style;
    ApplyScrollBarPolicy();
}

void TCustomGrid::SetBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle) return;
    m_borderStyle = style;
    setFrameStyle(style == bsSingle ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
}

QColor TCustomGrid::FixedColor() const { return m_fixedColor.value_or(palette().color(QPalette::Button)); }

void TCustomGrid::SetFixedColor(const QColor& color)
{
    m_fixedColor = color;
    InvalidateGrid();
}

void TCustomGrid::SetDefaultDrawing(bool on)
{
    if (on == m_defaultDrawing) return;
    m_defaultDrawing = on;
    InvalidateGrid();
}

void TCustomGrid::SetOptions(TGridOptions options)
{
    if (options == m_options) return;
    m_options = options;
    if (!options.Contains(goRangeSelect) || options.Contains(goEditing)) MoveAnchor(m_current);
    if (!options.Contains(goEditing)) {
        HideEditor();
    } else if (options.Contains(goAlwaysShowEditor)) {
        SetEditorMode(true);
    }
    SizesChanged();
}

void TCustomGrid::Click()
{
    if (m_onClick) m_onClick(*this);
}

}  // namespace quorvane
