#include "widgets/Grids.h"

#include "framework/Beep.h"
#include "framework/MouseCapture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

// A window with the grid between two other controls, shown and active, so
// that focus moves as it does for the user.
class TGridWindow {
public:
    explicit TGridWindow(TGridOptions options, int cols, int rows)
    {
        m_before = new QLineEdit(&m_window);
        m_grid = new TStringGrid(&m_window);
        m_grid->setObjectName("StringGrid1");
        m_after = new QPushButton("Testen", &m_window);
        m_before->setGeometry(0, 0, 300, 24);
        m_grid->setGeometry(0, 30, 306, 160);
        m_after->setGeometry(0, 200, 100, 25);
        m_window.resize(320, 240);
        m_grid->SetColCount(cols);
        m_grid->SetRowCount(rows);
        m_grid->SetDefaultColWidth(60);
        m_grid->SetDefaultRowHeight(20);
        m_grid->SetOptions(options);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        QApplication::processEvents();
        m_grid->setFocus();
    }

    TStringGrid& Grid() { return *m_grid; }
    QLineEdit& Before() { return *m_before; }
    QPushButton& After() { return *m_after; }

private:
    QWidget m_window;
    QLineEdit* m_before;
    TStringGrid* m_grid;
    QPushButton* m_after;
};

const TGridOptions kEditing{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goEditing};
const TGridOptions kRange{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goColSizing};

void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void Type(QWidget* target, const QString& text)
{
    for (QChar c : text) Key(target, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

QWidget* FocusTarget(TStringGrid& grid)
{
    QWidget* focused = QApplication::focusWidget();
    return focused != nullptr ? focused : &grid;
}

void Mouse(TStringGrid& grid, QEvent::Type type, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, point, grid.viewport()->mapToGlobal(point), button, buttons, modifiers);
    QApplication::sendEvent(grid.viewport(), &event);
}

void Click(TStringGrid& grid, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Mouse(grid, QEvent::MouseButtonPress, point, modifiers);
    Mouse(grid, QEvent::MouseButtonRelease, point, modifiers);
}

QPoint CellCentre(TStringGrid& grid, int col, int row) { return grid.CellRect(col, row).center(); }

TEST(GridsInputTest, TypingReplacesTheTextAndEveryKeystrokeIsInTheCell)
{
    TGridWindow window(kEditing, 2, 4);
    TStringGrid& grid = window.Grid();
    grid.SetCells(1, 1, "1");
    ASSERT_TRUE(grid.hasFocus());
    const int beeps = BeepCount();

    Key(&grid, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), "a");
    ASSERT_EQ(QApplication::focusWidget(), grid.InplaceEditor());
    Type(FocusTarget(grid), "bä");
    EXPECT_EQ(grid.Cells(1, 1), "abä");
    EXPECT_EQ(BeepCount(), beeps) << "a string grid accepts every character";

    // Another control takes the focus: the cell already holds the text.
    window.After().setFocus();
    EXPECT_EQ(grid.Cells(1, 1), "abä");

    // Backspace on a closed editor also replaces the whole text.
    grid.setFocus();
    grid.SetEditorMode(false);
    Key(&grid, Qt::Key_Backspace);
    EXPECT_EQ(grid.Cells(1, 1), "");
}

TEST(GridsInputTest, EnterF2AndTheKeysThatLeaveTheEditor)
{
    TGridWindow window(kEditing, 2, 4);
    TStringGrid& grid = window.Grid();
    grid.SetCells(1, 1, "3");
    grid.SetCells(1, 2, "2");

    Key(&grid, Qt::Key_Return);
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_TRUE(grid.InplaceEditor()->hasSelectedText()) << "opened with the text selected";
    Key(FocusTarget(grid), Qt::Key_Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(grid.InplaceEditor()->isVisible());
    EXPECT_TRUE(grid.hasFocus());

    Key(&grid, Qt::Key_F2);
    ASSERT_TRUE(grid.EditorMode());
    Type(FocusTarget(grid), "1");
    EXPECT_EQ(grid.Cells(1, 1), "31") << "F2 puts the caret at the end";
    Key(FocusTarget(grid), Qt::Key_Escape);
    EXPECT_TRUE(grid.EditorMode()) << "Escape changes nothing";
    EXPECT_EQ(grid.Cells(1, 1), "31");

    Key(FocusTarget(grid), Qt::Key_Down);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Cells(1, 1), "31");
    Key(&grid, Qt::Key_F2);
    Key(FocusTarget(grid), Qt::Key_Up);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_FALSE(grid.EditorMode());

    // A write from elsewhere into the open cell shows in the editor.
    Key(&grid, Qt::Key_F2);
    grid.SetCells(1, 1, "from code");
    EXPECT_EQ(grid.InplaceEditor()->text(), "from code");
}

TEST(GridsInputTest, CaretEdgesHandTheArrowsToTheGrid)
{
    TGridWindow window(kEditing, 4, 4);
    TStringGrid& grid = window.Grid();
    grid.SetCol(2);
    grid.SetCells(2, 1, "ab");
    Key(&grid, Qt::Key_F2);
    QWidget* editor = FocusTarget(grid);
    Key(editor, Qt::Key_Left);
    EXPECT_EQ(grid.Col(), 2) << "the caret moved inside the text";
    Key(editor, Qt::Key_Home);
    EXPECT_EQ(grid.Col(), 2);
    Key(editor, Qt::Key_Left);
    EXPECT_EQ(grid.Col(), 1) << "at the start the grid moves";
    EXPECT_FALSE(grid.EditorMode());
}

TEST(GridsInputTest, TabLeavesTheGridFromTheGridAndFromItsEditor)
{
    TGridWindow window(kEditing, 2, 4);
    TStringGrid& grid = window.Grid();
    Key(&grid, Qt::Key_X, Qt::NoModifier, "x");
    ASSERT_EQ(QApplication::focusWidget(), grid.InplaceEditor());
    Key(grid.InplaceEditor(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &window.After());
    EXPECT_EQ(grid.Cells(1, 1), "x");
    EXPECT_FALSE(grid.InplaceEditor()->isVisible());

    grid.setFocus();
    Key(&grid, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &window.Before());
    EXPECT_EQ(grid.Col(), 1);
}

TEST(GridsInputTest, KeyNavigation)
{
    // 306 x 160 pixels with a frame: 6 scrolled rows fit entirely below the header.
    TGridWindow window(kRange, 10, 100);
    TStringGrid& grid = window.Grid();
    const int page = grid.VisibleRowCount();
    ASSERT_GE(page, 3);
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        int col;
        int row;
        int topRow;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    for (const Step& step : {
             Step{Qt::Key_Up, none, 1, 1, 1},
             Step{Qt::Key_Left, none, 1, 1, 1},
             Step{Qt::Key_Right, none, 2, 1, 1},
             Step{Qt::Key_Down, none, 2, 2, 1},
             Step{Qt::Key_PageDown, none, 2, 2 + page, 1 + page},
             Step{Qt::Key_PageUp, none, 2, 2, 1},
             Step{Qt::Key_End, none, 9, 2, 1},
             Step{Qt::Key_Home, none, 1, 2, 1},
             Step{Qt::Key_End, ctrl, 9, 99, 100 - page},
             Step{Qt::Key_PageUp, ctrl, 9, 100 - page, 100 - page},
             Step{Qt::Key_Up, ctrl, 9, 100 - page, 99 - page},
             Step{Qt::Key_Home, ctrl, 1, 1, 1},
             Step{Qt::Key_Down, ctrl, 1, 1, 2},
             Step{Qt::Key_PageDown, ctrl, 1, 1 + page, 2},
         }) {
        Key(&grid, step.key, step.modifiers);
        EXPECT_EQ(grid.Col(), step.col) << "key " << step.key;
        EXPECT_EQ(grid.Row(), step.row) << "key " << step.key;
        EXPECT_EQ(grid.TopRow(), step.topRow) << "key " << step.key;
    }
    EXPECT_EQ(grid.Anchor(), (TGridCoord{grid.Col(), grid.Row()}));

    // Shift grows a range from the anchor in a range grid ...
    Key(&grid, Qt::Key_Home, ctrl);
    Key(&grid, Qt::Key_Down, Qt::ShiftModifier);
    Key(&grid, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 2, 2}));
    Key(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.Selection(), (TGridRect{3, 2, 3, 2})) << "without Shift the range collapses";

    // ... but not in an editing grid.
    grid.SetOptions(kEditing);
    Key(&grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{3, 3, 3, 3}));
}

TEST(GridsInputTest, MousePressesOnEditingGrids)
{
    TGridWindow window(kEditing, 2, 4);
    TStringGrid& grid = window.Grid();
    grid.SetCells(1, 2, "3");
    int clicks = 0;
    grid.SetOnClick([&](TCustomGrid&) { ++clicks; });

    Click(grid, CellCentre(grid, 1, 2));
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_FALSE(grid.EditorMode()) << "a press on another cell only moves there";
    EXPECT_EQ(clicks, 1);
    Click(grid, CellCentre(grid, 1, 2));
    EXPECT_TRUE(grid.EditorMode()) << "a press on the current cell opens the editor";
    EXPECT_EQ(grid.InplaceEditor()->text(), "3");
    EXPECT_EQ(clicks, 2);
    Click(grid, CellCentre(grid, 0, 3));
    EXPECT_FALSE(grid.EditorMode()) << "any press ends editing";
    EXPECT_EQ(grid.Row(), 2) << "fixed cells are not selected";
}

TEST(GridsInputTest, RangeSelectionWithShiftAndByDragging)
{
    TGridWindow window(kRange, 4, 20);
    TStringGrid& grid = window.Grid();
    int clicks = 0;
    grid.SetOnClick([&](TCustomGrid&) { ++clicks; });

    Click(grid, CellCentre(grid, 1, 1));
    Click(grid, CellCentre(grid, 2, 3), Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 2, 3}));
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(clicks, 2);

    Mouse(grid, QEvent::MouseButtonPress, CellCentre(grid, 3, 4));
    EXPECT_EQ(MouseCapture(), &grid);
    Mouse(grid, QEvent::MouseMove, CellCentre(grid, 2, 2));
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 3, 4}));
    EXPECT_EQ(clicks, 2) << "the click comes with the release";

    // Below the grid the timer scrolls and the range follows.
    auto* timer = grid.findChild<QTimer*>("DragScrollTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 60);
    Mouse(grid, QEvent::MouseMove, QPoint(CellCentre(grid, 3, 1).x(), grid.viewport()->height() + 10));
    const int top = grid.TopRow();
    QTimerEvent tick(timer->timerId());
    QApplication::sendEvent(timer, &tick);
    EXPECT_EQ(grid.TopRow(), top + 1);
    EXPECT_EQ(grid.Anchor().Y, grid.TopRow() + grid.VisibleRowCount() - 1);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 4);

    Mouse(grid, QEvent::MouseButtonRelease, QPoint(CellCentre(grid, 3, 1).x(), grid.viewport()->height() + 10));
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(MouseCapture(), nullptr);
    EXPECT_EQ(clicks, 3);

    // Without goRangeSelect the current cell follows the mouse.
    grid.SetOptions(grid.Options() - goRangeSelect);
    grid.SetTopRow(1);
    Mouse(grid, QEvent::MouseButtonPress, CellCentre(grid, 1, 1));
    Mouse(grid, QEvent::MouseMove, CellCentre(grid, 2, 3));
    Mouse(grid, QEvent::MouseButtonRelease, CellCentre(grid, 2, 3));
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 3, 2, 3}));
}

TEST(GridsInputTest, ColumnSizingByMouse)
{
    // Column 1 of 60 pixels: its line lies at 61 + 60 = 121 in the header.
    struct Case {
        int pressX;
        int dragBy;
        int expectedWidth;
    };
    for (const Case& c : {Case{118, 10, 70}, Case{125, 10, 70}, Case{117, 10, 60}, Case{126, 10, 60},
                          Case{121, -58, 2}, Case{121, -59, 60}, Case{121, -70, 60}}) {
        TGridWindow window(kRange, 4, 5);
        TStringGrid& grid = window.Grid();
        ASSERT_EQ(grid.CellRect(1, 0).right() + 1, 121);
        Mouse(grid, QEvent::MouseButtonPress, QPoint(c.pressX, 10));
        Mouse(grid, QEvent::MouseMove, QPoint(c.pressX + c.dragBy, 10));
        Mouse(grid, QEvent::MouseButtonRelease, QPoint(c.pressX + c.dragBy, 10));
        EXPECT_EQ(grid.ColWidths(1), c.expectedWidth) << "press at " << c.pressX << ", drag by " << c.dragBy;
    }

    TGridWindow window(kRange, 4, 5);
    TStringGrid& grid = window.Grid();
    // The header column cannot be sized, nor can columns from the cells.
    for (QPoint press : {QPoint(60, 10), QPoint(121, 30)}) {
        Mouse(grid, QEvent::MouseButtonPress, press);
        Mouse(grid, QEvent::MouseMove, press + QPoint(20, 0));
        Mouse(grid, QEvent::MouseButtonRelease, press + QPoint(20, 0));
    }
    EXPECT_FALSE(grid.HasColWidths());

    // The error box cancels a sizing under way.
    Mouse(grid, QEvent::MouseButtonPress, QPoint(121, 10));
    Mouse(grid, QEvent::MouseMove, QPoint(141, 10));
    CancelMouseCapture();
    Mouse(grid, QEvent::MouseButtonRelease, QPoint(141, 10));
    EXPECT_EQ(grid.ColWidths(1), 60);
}

}  // namespace
}  // namespace quorvane
