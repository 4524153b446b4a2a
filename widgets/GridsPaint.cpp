#include "widgets/Grids.h"

#include <QPaintEvent>
#include <QPainter>

#include <vector>

namespace quorvane {

namespace {

struct TBand {
    int Index;
    int Start;
    int Size;
};

// The cells of one direction that are in view, fixed ones first; hidden
// cells (size 0 or less) take no room and are left out.
std::vector<TBand> BandsInView(const TGridAxis& axis)
{
    std::vector<TBand> bands;
    long long position = 0;
    auto add = [&](int index) {
        const int size = axis.Size(index);
        if (size <= 0) return;
        bands.push_back({index, static_cast<int>(position), size});
        position += static_cast<long long>(size) + axis.LineWidth;
    };
    for (int i = 0; i < axis.FixedCount && i < axis.Count && position < axis.ClientExtent; ++i) add(i);
    for (int i = axis.FirstScrolled; i < axis.Count && position < axis.ClientExtent; ++i) add(i);
    return bands;
}

}  // namespace

void TCustomGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const QPalette& colours = palette();
    painter.fillRect(dirty, colours.color(QPalette::Base));

    const TGridAxis colAxis = ColAxis();
    const TGridAxis rowAxis = RowAxis();
    const std::vector<TBand> cols = BandsInView(colAxis);
    const std::vector<TBand> rows = BandsInView(rowAxis);
    const TGridRect selection = Selection();
    const QColor fixedLine = colours.color(QPalette::Dark);
    const QColor normalLine = colours.color(QPalette::Midlight).darker(115);

    for (const TBand& row : rows) {
        if (row.Start > dirty.bottom() || row.Start + row.Size + rowAxis.LineWidth <= dirty.top()) continue;
        for (const TBand& col : cols) {
            if (col.Start > dirty.right() || col.Start + col.Size + colAxis.LineWidth <= dirty.left()) continue;
            const QRect rect(col.Start, row.Start, col.Size, row.Size);
            PaintCell(painter, col.Index, row.Index, rect, selection);

            const bool fixed = col.Index < m_fixedCols || row.Index < m_fixedRows;
            const QColor& line = fixed ? fixedLine : normalLine;
            if (colAxis.LineWidth > 0 && m_options.Contains(fixed ? goFixedVertLine : goVertLine)) {
                painter.fillRect(rect.right() + 1, rect.top(), colAxis.LineWidth, rect.height() + rowAxis.LineWidth,
                                 line);
            }
            if (rowAxis.LineWidth > 0 && m_options.Contains(fixed ? goFixedHorzLine : goHorzLine)) {
                painter.fillRect(rect.left(), rect.bottom() + 1, rect.width() + colAxis.LineWidth, rowAxis.LineWidth,
                                 line);
            }
        }
    }

    if (m_state == gsColSizing) {
        painter.fillRect(m_sizingLineX, 0, 1, viewport()->height(), colours.color(QPalette::WindowText));
    }
}

void TCustomGrid::PaintCell(QPainter& painter, int col, int row, const QRect& rect, const TGridRect& selection)
{
    TGridDrawState state;
    state.Fixed = col < m_fixedCols || row < m_fixedRows;
    state.Selected = !state.Fixed && selection.Contains(col, row);
    state.Focused = col == m_current.X && row == m_current.Y && hasFocus();
    const QPalette& colours = palette();
    if (m_defaultDrawing) {
        QColor background = colours.color(QPalette::Base);
        QColor text = colours.color(QPalette::Text);
        if (state.Fixed) {
            background = FixedColor();
            text = colours.color(QPalette::ButtonText);
        } else if (state.Selected) {
            background = colours.color(QPalette::Highlight);
            text = colours.color(QPalette::HighlightedText);
        }
        painter.fillRect(rect, background);
        painter.setPen(text);
    }
    DrawCell(painter, col, row, rect, state);
    if (m_defaultDrawing && state.Focused && !(m_editor != nullptr && m_editor->isVisible())) {
        QPen focus(state.Selected ? colours.color(QPalette::HighlightedText) : colours.color(QPalette::Text));
        focus.setStyle(Qt::DotLine);
        painter.setPen(focus);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TCustomGrid::DrawCell(QPainter&, int, int, const QRect&, TGridDrawState) {}

}  // namespace quorvane
