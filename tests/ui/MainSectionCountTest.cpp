#include "ui/Main.h"

#include "app/Application.h"
#include "framework/StdCtrls.h"
#include "tests/support/MessageBoxRecorder.h"
#include "widgets/Grids.h"
#include "widgets/Spin.h"

#include <QApplication>
#include <QClipboard>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace quorvane {
namespace {

// The section count as the user types it: the structure grid follows every
// change of the text, and once more when the focus leaves and the count is
// brought within 2 to 10.
class MainSectionCountTest : public ::testing::Test {
protected:
    MainSectionCountTest()
    {
        Application().SetTitle("Quorvane V1.24");
        Application().CreateForm(FormMain);
        FormMain->Show();
        QApplication::setActiveWindow(FormMain);
        m_spin = FormMain->findChild<TSpinEdit*>("SpinEdit1");
        m_grid = FormMain->findChild<TStringGrid*>("StringGrid1");
        // Entering with the keyboard selects the 3, so typing replaces it.
        m_spin->setFocus(Qt::TabFocusReason);
    }
    ~MainSectionCountTest() override { Application().ReleaseForms(); }

    void Type(const char* keys) { QTest::keyClicks(m_spin, keys); }
    void Leave() { FormMain->findChild<TEdit*>("Edit2")->setFocus(Qt::TabFocusReason); }

    TSpinEdit* m_spin = nullptr;
    TStringGrid* m_grid = nullptr;
};

TEST_F(MainSectionCountTest, TypingSixLabelsOnlyTheNewLastRow)
{
    Type("6");
    EXPECT_EQ(m_grid->RowCount(), 7);
    EXPECT_EQ(m_grid->Cells(0, 6), "6");
    EXPECT_EQ(m_grid->Cells(0, 4), "");
    EXPECT_EQ(m_grid->Cells(0, 5), "");
    EXPECT_EQ(m_grid->Cells(0, 3), "3");
    EXPECT_EQ(m_grid->Cells(1, 3), "2") << "the map cells are never written";

    QTest::keyClick(m_spin, Qt::Key_Down);
    EXPECT_EQ(m_grid->RowCount(), 6);
    EXPECT_EQ(m_grid->Cells(0, 5), "5");
}

TEST_F(MainSectionCountTest, TypingTwentyFiveIsCutToTenWhenTheFocusLeaves)
{
    Type("2");
    EXPECT_EQ(m_grid->RowCount(), 3);
    EXPECT_EQ(m_grid->Cells(0, 2), "2");
    Type("5");
    EXPECT_EQ(m_grid->RowCount(), 26);
    EXPECT_EQ(m_grid->Cells(0, 25), "25");
    Leave();
    EXPECT_EQ(m_spin->text(), "10");
    EXPECT_EQ(m_grid->RowCount(), 11);
    EXPECT_EQ(m_grid->Cells(0, 10), "10");
}

TEST_F(MainSectionCountTest, TypingZeroEatsTheHeaderRow)
{
    Type("0");
    EXPECT_EQ(m_grid->RowCount(), 1);
    EXPECT_EQ(m_grid->FixedRows(), 0);
    EXPECT_EQ(m_grid->Cells(0, 0), "0");
    Leave();
    EXPECT_EQ(m_spin->Value(), 2);
    EXPECT_EQ(m_grid->RowCount(), 3);
    EXPECT_EQ(m_grid->FixedRows(), 0);
}

TEST_F(MainSectionCountTest, ANegativeCountIsReportedAndCorrectedWhenTheFocusLeaves)
{
    testing::MessageBoxRecorder boxes;
    // The box is a window of its own: the main window loses activation to
    // it, which must not count as leaving the field.
    QWidget box;
    QString textWhileShown;
    int rowsWhileShown = 0;
    boxes.OnShow = [&](const TMessageBoxRequest&) {
        box.show();
        QApplication::setActiveWindow(&box);
        textWhileShown = m_spin->text();
        rowsWhileShown = m_grid->RowCount();
        box.hide();
        QApplication::setActiveWindow(FormMain);
    };
    Type("-");
    EXPECT_EQ(m_grid->RowCount(), 3) << "a lone minus sign reads as the minimum";
    Type("5");
    EXPECT_EQ(m_grid->RowCount(), 1);
    EXPECT_EQ(textWhileShown, "-5");
    EXPECT_EQ(rowsWhileShown, 1);
    EXPECT_EQ(m_spin->text(), "-5") << "the window was only deactivated";
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests()[0],
        (TMessageBoxRequest { "Quorvane V1.24", "Listenindex außerhalb des zulässigen Bereichs.", mtError, { "OK" } }));
    Leave();
    EXPECT_EQ(m_spin->Value(), 2);
    EXPECT_EQ(m_grid->RowCount(), 3);
    EXPECT_EQ(m_grid->Cells(0, 2), "2");
}

// The memory the process holds now, read from the kernel.
long long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    long long resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// The largest count the field takes has no row count one above it, and on
// the way to a large typed count the grid passes counts of a hundred million
// rows: both end in the grid's refusal, and no memory is held for the rows.
TEST_F(MainSectionCountTest, CountsTooLargeForTheGridAreRefusedWithoutHoldingMemory)
{
    testing::MessageBoxRecorder boxes;
    const TMessageBoxRequest tooLarge{"Quorvane V1.24", "Gitter zu groß für Operation.", mtError, {"OK"}};
    QApplication::clipboard()->setText(QStringLiteral("2147483647"));
    m_spin->selectAll();
    QTest::keyClick(m_spin, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(m_spin->text(), "2147483647");
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests()[0], tooLarge);
    EXPECT_EQ(m_grid->RowCount(), 4) << "the count stays as it was";
    EXPECT_EQ(m_grid->FixedRows(), 1);

    m_spin->selectAll();
    const long long before = ResidentBytes();
    Type("1234567890");
    EXPECT_EQ(boxes.Requests().size(), 2u);
    EXPECT_EQ(boxes.Requests().back(), tooLarge);
    EXPECT_EQ(m_grid->RowCount(), 123456790);
    Leave();
    EXPECT_EQ(m_grid->RowCount(), 11);
    EXPECT_EQ(m_grid->Cells(0, 10), "10");
    EXPECT_LT(ResidentBytes() - before, 64LL << 20);
}

}  // namespace
}  // namespace quorvane
