#include "widgets/Grids.h"

#include "runtime/Exceptions.h"

#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace quorvane {
namespace {

template <class Error, class Action>
std::string ErrorOf(Action action)
{
    try {
        action();
    } catch (const Error& error) {
        return error.Message();
    }
    return "<no error>";
}

// The structure grid of the main window as its description builds it.
std::unique_ptr<TStringGrid> StructureGrid()
{
    auto grid = std::make_unique<TStringGrid>();
    grid->SetColCount(2);
    grid->SetRowCount(4);
    grid->SetDefaultColWidth(90);
    grid->SetDefaultRowHeight(20);
    grid->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goEditing});
    for (int row = 0; row < 4; ++row) grid->SetRowHeights(row, 20);
    return grid;
}

std::unique_ptr<TStringGrid> ResultGrid()
{
    auto grid = std::make_unique<TStringGrid>();
    grid->SetColCount(3);
    grid->SetRowCount(2);
    grid->SetDefaultColWidth(80);
    grid->SetDefaultRowHeight(20);
    grid->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goColSizing});
    return grid;
}

constexpr const char* kListIndex = "Listenindex außerhalb des zulässigen Bereichs";
constexpr const char* kGridIndex = "Gitterindex außerhalb des zulässigen Bereichs";

TEST(GridsTest, StartsWithTheWidgetDefaults)
{
    TStringGrid grid;
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.DefaultColWidth(), 64);
    EXPECT_EQ(grid.DefaultRowHeight(), 24);
    EXPECT_EQ(grid.GridLineWidth(), 1);
    EXPECT_EQ(grid.Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect}));
    EXPECT_EQ(grid.ScrollBars(), ssBoth);
    EXPECT_EQ(grid.BorderStyle(), TCustomGrid::bsSingle);
    EXPECT_TRUE(grid.DefaultDrawing());
    EXPECT_EQ(grid.FixedColor(), grid.palette().color(QPalette::Button));
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_FALSE(grid.HasColWidths());
    EXPECT_FALSE(grid.HasRowHeights());
    EXPECT_FALSE(grid.EditorMode());
}

TEST(GridsTest, RowCountsAndTheFixedRowRule)
{
    struct Case {
        int count;
        int expectedCount;
        int expectedFixed;
    };
    for (const Case& c : {Case{0, 1, 0}, Case{-7, 1, 0}, Case{1, 1, 0}, Case{2, 2, 1}, Case{11, 11, 1}}) {
        auto grid = StructureGrid();
        grid->SetRowCount(c.count);
        EXPECT_EQ(grid->RowCount(), c.expectedCount) << c.count;
        EXPECT_EQ(grid->FixedRows(), c.expectedFixed) << c.count;
        EXPECT_EQ(grid->RowHeights(c.expectedCount - 1), 20) << "height list follows the count";
    }

    // A grid cut to one row keeps no fixed row when it grows again.
    auto grid = StructureGrid();
    grid->SetRowCount(0);
    grid->SetRowCount(4);
    EXPECT_EQ(grid->FixedRows(), 0);
    grid->SetColCount(1);
    grid->SetColCount(3);
    EXPECT_EQ(grid->FixedCols(), 0);
}

// Each size is what it was given or what the list was extended with at the
// time, however little of the list is kept one by one.
TEST(GridsTest, SizeListsKeepEverySizeAndOnlyTheEntriesThatDiffer)
{
    TGridSizeList list(4, 20);
    list.Resize(123456790, 20);
    EXPECT_EQ(list.Stored().capacity(), 0u) << "rows of one height need no entries";
    EXPECT_EQ(list[123456789], 20);
    list.Set(2, 35);
    list.Resize(6, 30);
    list.Resize(9, 25);
    list.Set(8, 25);
    list.Set(7, 40);
    EXPECT_EQ(list.Count(), 9);
    const std::vector<int> expected = {20, 20, 35, 20, 20, 20, 25, 40, 25};
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list[i], expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(list.Stored().size(), 8u);

    for (int i = 0; i < 100000; ++i) list.Resize(list.Count() + 1, i % 2 == 0 ? 25 : 26);
    EXPECT_GE(list.Stored().capacity(), 100000u);
    list.Resize(3, 20);
    EXPECT_EQ(list[2], 35);
    EXPECT_LT(list.Stored().capacity(), 1000u) << "a list cut short gives its memory back";
}

TEST(GridsTest, FixedCountErrors)
{
    auto grid = ResultGrid();
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetFixedRows(-1); }), kGridIndex);
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetFixedCols(-1); }), kGridIndex);
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetFixedRows(2); }),
              "Die Anzahl fester Zeilen muß kleiner sein als die Zeilenanzahl");
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetFixedCols(3); }),
              "Die Anzahl fester Spalten muß kleiner sein als die Spaltenanzahl");
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->FixedCols(), 1);

    // A larger fixed count pushes the current cell out of the fixed part.
    grid->SetFixedCols(2);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->LeftCol(), 2);
}

TEST(GridsTest, OversizedListsAreRefusedAndTheCountsRestored)
{
    auto grid = StructureGrid();
    constexpr const char* kTooLarge = "Gitter zu groß für Operation";
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetRowCount(134217726); }), kTooLarge);
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->FixedRows(), 1);

    // Without a width list a wide grid is fine until a width must be kept.
    grid->SetColCount(200000000);
    EXPECT_EQ(grid->ColCount(), 200000000);
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetColWidths(0, 10); }), kTooLarge);
    EXPECT_FALSE(grid->HasColWidths());
    grid->SetColCount(2);
    EXPECT_NO_THROW(grid->SetColWidths(0, 10));
}

TEST(GridsTest, TheStoreOutlivesShrinkingAndGrowing)
{
    auto structure = StructureGrid();
    for (int row = 0; row < 4; ++row) {
        structure->SetCells(0, row, "label " + std::to_string(row));
        structure->SetCells(1, row, "map " + std::to_string(row));
    }
    structure->SetRowCount(2);
    structure->SetRowCount(4);
    EXPECT_EQ(structure->Cells(0, 2), "label 2");
    EXPECT_EQ(structure->Cells(1, 3), "map 3");
    EXPECT_EQ(structure->Cells(1, 7), "") << "never written";
    structure->SetCells(1, 9, "beyond the count");
    EXPECT_EQ(structure->Cells(1, 9), "beyond the count");

    auto result = ResultGrid();
    while (result->RowCount() < 1000) {
        const int last = result->RowCount() - 1;
        result->SetCells(0, last, "Ok");
        result->SetCells(1, last, "old " + std::to_string(last));
        result->SetCells(2, last, "new " + std::to_string(last));
        result->SetRowCount(result->RowCount() + 1);
    }
    result->SetRowCount(2);
    EXPECT_EQ(result->Cells(1, 1), "old 1");
    EXPECT_EQ(result->Cells(2, 2), "new 2");
    EXPECT_EQ(result->Cells(1, 998), "old 998");
    EXPECT_EQ(result->Cells(1, 999), "");
    // Writes out of order land beside the others, not over them.
    result->SetCells(5, 500, "five");
    result->SetCells(3, 500, "three");
    EXPECT_EQ(result->Cells(3, 500), "three");
    EXPECT_EQ(result->Cells(5, 500), "five");
    EXPECT_EQ(result->Cells(0, 500), "Ok");
    result->SetCells(0, 500, "--");
    EXPECT_EQ(result->Cells(0, 500), "--");
}

TEST(GridsTest, NegativeCellIndexes)
{
    auto grid = ResultGrid();
    EXPECT_EQ(ErrorOf<EListError>([&] { grid->SetCells(0, -5, "x"); }), kListIndex);
    EXPECT_EQ(ErrorOf<EListError>([&] { grid->Cells(0, -5); }), kListIndex);
    EXPECT_EQ(ErrorOf<EListError>([&] { grid->SetCells(-1, 3, "x"); }), kListIndex);
    // The refused write left no row behind, so the row still reads as empty.
    EXPECT_EQ(grid->Cells(-1, 3), "");
    grid->SetCells(1, 3, "text");
    EXPECT_EQ(ErrorOf<EListError>([&] { grid->Cells(-1, 3); }), kListIndex);
}

TEST(GridsTest, ColumnWidths)
{
    auto grid = ResultGrid();
    EXPECT_EQ(grid->ColWidths(2), 80);
    EXPECT_FALSE(grid->HasColWidths());
    grid->SetColWidths(2, 150);
    EXPECT_TRUE(grid->HasColWidths());
    EXPECT_EQ(grid->ColWidths(2), 150);
    EXPECT_EQ(grid->ColWidths(1), 80) << "the list starts with defaults";
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetColWidths(3, 10); }), kGridIndex);
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetColWidths(-1, 10); }), kGridIndex);
    grid->SetColWidths(1, -40);
    EXPECT_EQ(grid->ColWidths(1), -40);
    EXPECT_EQ(grid->ColWidths(7), 80) << "beyond the count";

    grid->SetColCount(5);
    EXPECT_EQ(grid->ColWidths(4), 80);
    grid->SetColCount(2);
    grid->SetColCount(3);
    EXPECT_EQ(grid->ColWidths(2), 80) << "a column that comes back starts at the default";
}

TEST(GridsTest, CurrentCellMoves)
{
    auto grid = ResultGrid();
    grid->SetRowCount(10);
    int clicks = 0;
    grid->SetOnClick([&](TCustomGrid&) { ++clicks; });
    grid->SetRow(1);
    EXPECT_EQ(clicks, 0) << "no move, no click";
    grid->SetRow(5);
    EXPECT_EQ(grid->Row(), 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetRow(10); }), kGridIndex);
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetCol(-1); }), kGridIndex);
    EXPECT_EQ(ErrorOf<EInvalidGridOperation>([&] { grid->SetCol(3); }), kGridIndex);
    grid->SetCol(0);
    EXPECT_EQ(grid->Col(), 0) << "code may make a fixed cell current";
    EXPECT_EQ(grid->Anchor(), (TGridCoord{0, 5}));

    grid->SetOnSelectCell([](TCustomGrid&, int, int row, bool& canSelect) { canSelect = row != 7; });
    grid->SetRow(7);
    EXPECT_EQ(grid->Row(), 5);

    // Cutting the grid above the current cell moves it to the last row.
    grid->SetRowCount(3);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Anchor().Y, 2);
}

TEST(GridsTest, MovingTheCurrentCellEndsEditingAndKeepsTheText)
{
    auto grid = StructureGrid();
    grid->SetCells(1, 1, "1");
    grid->SetEditorMode(true);
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_EQ(grid->InplaceEditor()->text(), "1");
    grid->InplaceEditor()->setText("3");
    EXPECT_EQ(grid->Cells(1, 1), "3");
    grid->SetRow(2);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "3");
}

// Finds the first pixel inside the rectangle that differs from the colour.
std::optional<QPoint> FirstDifferent(const QImage& image, const QRect& rect, QColor colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (image.pixelColor(x, y) != colour) return QPoint(x, y);
        }
    }
    return std::nullopt;
}

TEST(GridsTest, PaintsTextsClippedIntoTheirCellsOverTheirBackgrounds)
{
    auto grid = ResultGrid();
    grid->resize(400, 200);
    grid->SetCells(1, 0, "alt");
    grid->SetCells(1, 2, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    grid->SetRowCount(4);
    QImage image(grid->viewport()->size(), QImage::Format_ARGB32);
    grid->viewport()->render(&image);

    const QPalette colours = grid->palette();
    const QRect header = grid->CellRect(1, 0);
    const QRect current = grid->CellRect(1, 1);
    const QRect longText = grid->CellRect(1, 2);
    const QRect besideLongText = grid->CellRect(2, 2);
    EXPECT_EQ(image.pixelColor(header.bottomRight()), grid->FixedColor());
    EXPECT_EQ(image.pixelColor(current.center()), colours.color(QPalette::Highlight));
    EXPECT_EQ(image.pixelColor(besideLongText.center()), colours.color(QPalette::Base));

    const std::optional<QPoint> ink = FirstDifferent(image, header, grid->FixedColor());
    ASSERT_TRUE(ink.has_value());
    EXPECT_GE(ink->x(), header.left() + 2);
    EXPECT_GE(ink->y(), header.top() + 2);
    EXPECT_FALSE(FirstDifferent(image, besideLongText, colours.color(QPalette::Base)).has_value())
        << "a long text does not run into the next cell";
    EXPECT_TRUE(FirstDifferent(image, longText, colours.color(QPalette::Base)).has_value());

    // The vertical line after a normal cell follows goVertLine.
    const QPoint onLine(longText.right() + 1, longText.center().y());
    EXPECT_NE(image.pixelColor(onLine), colours.color(QPalette::Base));
    grid->SetOptions(grid->Options() - goVertLine);
    grid->viewport()->render(&image);
    const QRect moved = grid->CellRect(1, 2);
    EXPECT_EQ(image.pixelColor(moved.right() + 1, moved.center().y()), colours.color(QPalette::Base));
}

}  // namespace
}  // namespace quorvane
