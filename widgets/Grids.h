#pragma once

#include "framework/MouseCapture.h"
#include "widgets/GridsGeometry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QLineEdit>

#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPainter;
class QTimer;

namespace quorvane {

class TCustomGrid;

// The switches of a grid. Lines are drawn per kind of cell; a grid with
// editing ignores range selection.
enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goColSizing,
    goEditing,
    goTabs,
    goAlwaysShowEditor,
};

class TGridOptions {
public:
    TGridOptions() = default;
    TGridOptions(std::initializer_list<TGridOption> options)
    {
        for (TGridOption option : options) m_bits |= Bit(option);
    }

    bool Contains(TGridOption option) const { return (m_bits & Bit(option)) != 0; }
    TGridOptions operator+(TGridOption option) const { return FromBits(m_bits | Bit(option)); }
    TGridOptions operator-(TGridOption option) const { return FromBits(m_bits & ~Bit(option)); }
    bool operator==(const TGridOptions&) const = default;

private:
    static unsigned Bit(TGridOption option) { return 1u << static_cast<unsigned>(option); }
    static TGridOptions FromBits(unsigned bits)
    {
        TGridOptions options;
        options.m_bits = bits;
        return options;
    }

    unsigned m_bits = 0;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A cell address: X is the column, Y the row, both from 0.
struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// A rectangle of cells, corners included.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
    bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
};

struct TGridDrawState {
    bool Selected = false;
    bool Focused = false;
    bool Fixed = false;
};

using TGridNotifyEvent = std::function<void(TCustomGrid& sender)>;
using TSelectCellEvent = std::function<void(TCustomGrid& sender, int col, int row, bool& canSelect)>;
using TDrawCellEvent =
    std::function<void(TCustomGrid& sender, int col, int row, QPainter& painter, const QRect& rect, TGridDrawState state)>;

// One row of a string grid: the texts by column. Rows are usually written
// left to right, so appending is the fast path.
class TStringSparseList {
public:
    // The text at the index, or nullptr when none was stored there.
    // A negative index raises EListError.
    const std::string* Find(int index) const;
    void Put(int index, std::string text);
    int StoredCount() const { return static_cast<int>(m_items.size()); }

private:
    std::vector<std::pair<int, std::string>> m_items;  // ascending by index
};

// The widths of a grid's columns or the heights of its rows, once one of
// them was given a size of its own. Only the entries up to the last one that
// differs from those after it are kept: a grid grown by a hundred million
// rows of one height holds no memory for them, and a list cut short gives
// its memory back.
class TGridSizeList {
public:
    TGridSizeList(int count, int size) : m_count(count), m_tail(size) {}

    int Count() const { return m_count; }
    // The size of entry `index`, 0 <= index < Count().
    int operator[](int index) const;
    // Raises std::bad_alloc, changing nothing, when memory runs out.
    void Set(int index, int size);
    // Cuts the list to `count` entries or extends it with entries of `size`.
    // Raises std::bad_alloc, changing nothing, when memory runs out.
    void Resize(int count, int size);

    // The leading entries kept one by one; every later entry has TailSize.
    const std::vector<int>& Stored() const { return m_stored; }
    int TailSize() const { return m_tail; }

private:
    void DropTrailingTailSizes();

    std::vector<int> m_stored;
    int m_count = 0;
    int m_tail = 0;
};

// The one-line editor a grid lays over its current cell. Every change goes
// into the cell at once, so whatever the user sees there is what the
// program reads, even while the editor is still open.
class TInplaceEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TInplaceEdit(TCustomGrid& grid, QWidget* parent);

    // Shows the cell's text without writing it back.
    void LoadText(const std::string& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool CaretAtStart() const;
    bool CaretAtEnd() const;

    TCustomGrid& m_grid;
    bool m_loading = false;
};

// The base of the grids: counts, sizes, the current cell and selection,
// scrolling, mouse and keys, painting and the editor. Cell contents come
// from the descendants.
//
// Scroll ranges and the picture are brought up to date lazily: changing a
// count or a cell outside the view costs no painting and no walk over the
// rows, so a table that grows by one row at a time stays fast at any size.
class TCustomGrid : public QAbstractScrollArea, public TMouseCaptureHolder {
    Q_OBJECT

public:
    enum TBorderStyle { bsNone, bsSingle };

    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

    int ColCount() const { return m_colCount; }
    void SetColCount(int value);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int value);
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int value);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int value);

    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int value);
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int value);

    // The width of a column: its own, or DefaultColWidth while there is no
    // list of widths or the index is outside the grid.
    int ColWidths(int index) const;
    void SetColWidths(int index, int width);
    bool HasColWidths() const { return m_colWidths.has_value(); }
    int RowHeights(int index) const;
    void SetRowHeights(int index, int height);
    bool HasRowHeights() const { return m_rowHeights.has_value(); }

    int Col() const { return m_current.X; }
    void SetCol(int value);
    int Row() const { return m_current.Y; }
    void SetRow(int value);
    // The opposite corner of the selection; the current cell unless a range is selected.
    TGridCoord Anchor() const { return m_anchor; }
    TGridRect Selection() const;

    // The first non-fixed column and row in view.
    int LeftCol() const { return m_topLeft.X; }
    void SetLeftCol(int value);
    int TopRow() const { return m_topLeft.Y; }
    void SetTopRow(int value);
    int VisibleColCount() const;
    int VisibleRowCount() const;

    TGridOptions Options() const { return m_options; }
    void SetOptions(TGridOptions options);
    bool EditorMode() const { return m_editorMode; }
    void SetEditorMode(bool on);
    // The editor, once editing has started for the first time.
    TInplaceEdit* InplaceEditor() const { return m_editor; }

    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle style);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    // The background of fixed cells; the palette's button colour until set.
    QColor FixedColor() const;
    void SetFixedColor(const QColor& color);
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool on);

    // Cell rectangles in the coordinates of the viewport, where mouse
    // events arrive; empty for cells out of view.
    QRect CellRect(int col, int row) const;
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridGeometry Geometry() const;

    void SetOnClick(TGridNotifyEvent handler) { m_onClick = std::move(handler); }
    void SetOnDblClick(TGridNotifyEvent handler) { m_onDblClick = std::move(handler); }
    void SetOnSelectCell(TSelectCellEvent handler) { m_onSelectCell = std::move(handler); }

    // Ends a column sizing or a selection drag without applying it, for the
    // error box that interrupts the user.
    void CancelMode() override;

protected:
    virtual std::string GetEditText(int col, int row) const;
    virtual void SetEditText(int col, int row, const std::string& text);
    virtual bool CanEditAcceptKey(QChar key) const;
    virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state);

    // Descendants call this after storing a cell's text.
    void CellChanged(int col, int row);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TInplaceEdit;

    enum TGridState { gsNormal, gsSelecting, gsColSizing };

    TGridAxis ColAxis() const;
    TGridAxis RowAxis() const;

    void AfterSizeChange(int oldColCount, int oldRowCount, bool fixedChanged);
    void SizesChanged();

    // Whether a move of the current cell takes the selection's anchor along
    // (a selection of that one cell) or leaves it where it is (the selection
    // grows or shrinks), and whether the move fires OnClick as the user's own
    // moves do.
    enum class TAnchor { Follow, Stay };
    enum class TClick { Fire, Quiet };
    bool MoveCurrent(TGridCoord target, TAnchor anchor, TClick click);
    void MoveAnchor(TGridCoord target);
    void ScrollIntoView(TGridCoord cell);
    void SetTopLeft(TGridCoord topLeft);
    void ClampTopLeft();
    void InvalidateSelection(const TGridRect& selection);
    void InvalidateGrid();
    bool RowInView(int row) const;
    bool ColInView(int col) const;
    void UpdateSpans() const;

    void ScheduleScrollRange();
    void UpdateScrollRange();
    void ApplyScrollBarPolicy();

    void ShowEditor(bool selectAll);
    void HideEditor();
    void PlaceEditor();
    void EditorTextChanged(const QString& text);
    void EditorTab(bool backward);

    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ContextMenuAtCurrent();
    TGridCoord NextTabCell(bool backward) const;
    void ExtendSelectionTo(TGridCoord cell);
    void DragScrollTick();
    void EndMouseMode();
    void Click();

    void PaintCell(QPainter& painter, int col, int row, const QRect& rect, const TGridRect& selection);

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_gridLineWidth = 1;
    std::optional<TGridSizeList> m_colWidths;
    std::optional<TGridSizeList> m_rowHeights;

    TGridCoord m_current{1, 1};
    TGridCoord m_anchor{1, 1};
    TGridCoord m_topLeft{1, 1};

    TGridOptions m_options{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    bool m_editorMode = false;
    TInplaceEdit* m_editor = nullptr;
    bool m_editorWriting = false;

    TScrollStyle m_scrollBars = ssBoth;
    TBorderStyle m_borderStyle = bsSingle;
    std::optional<QColor> m_fixedColor;
    bool m_defaultDrawing = true;

    TGridState m_state = gsNormal;
    int m_sizingCol = -1;
    int m_sizingPressX = 0;
    int m_sizingLineStart = 0;
    int m_sizingLineX = 0;
    QPoint m_lastMouse;
    QTimer* m_dragTimer = nullptr;

    // How many scrolled rows and columns the client area holds, cached so
    // that a cell write can tell cheaply whether it is in view.
    mutable bool m_spansValid = false;
    mutable int m_rowSpan = 0;
    mutable int m_colSpan = 0;
    bool m_scrollRangePending = false;
    bool m_syncingBars = false;

    TGridNotifyEvent m_onClick;
    TGridNotifyEvent m_onDblClick;
    TSelectCellEvent m_onSelectCell;
};

// A grid whose cells the program paints itself through OnDrawCell.
class TDrawGrid : public TCustomGrid {
    Q_OBJECT

public:
    explicit TDrawGrid(QWidget* parent = nullptr);

    void SetOnDrawCell(TDrawCellEvent handler) { m_onDrawCell = std::move(handler); }

protected:
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state) override;

private:
    TDrawCellEvent m_onDrawCell;
};

// A grid of texts. The texts live in a sparse store apart from the counts:
// a cell never written reads as empty, and texts outside the current counts
// stay until the grid grows again.
class TStringGrid : public TDrawGrid {
    Q_OBJECT

public:
    explicit TStringGrid(QWidget* parent = nullptr);

    // A negative row, or a negative column in a row holding texts, raises
    // EListError.
    std::string Cells(int col, int row) const;
    // A negative column or row raises EListError and stores nothing.
    void SetCells(int col, int row, std::string text);

protected:
    std::string GetEditText(int col, int row) const override;
    void SetEditText(int col, int row, const std::string& text) override;
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state) override;

private:
    using TRows = std::map<int, TStringSparseList>;

    const TStringSparseList* FindRow(int row) const;
    TStringSparseList& RowForWrite(int row);

    TRows m_rows;
    // The row written last: a result table writes its cells row by row,
    // so most writes end here without searching.
    int m_lastRowIndex = -1;
    TStringSparseList* m_lastRowList = nullptr;
};

}  // namespace quorvane
