#include "widgets/Spin.h"

#include "framework/Bitmaps.h"
#include "framework/MouseCapture.h"
#include "runtime/Exceptions.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

// One expiry of the timer, delivered as the event loop would deliver it.
void Fire(QTimer* timer)
{
    QTimerEvent tick(timer->timerId());
    QCoreApplication::sendEvent(timer, &tick);
}

// A move of the held mouse to `position` within `button`'s coordinates.
void DragTo(QWidget* button, QPoint position)
{
    QMouseEvent move(QEvent::MouseMove, position, button->mapToGlobal(position), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(button, &move);
}

class SpinButtonTest : public ::testing::Test {
protected:
    SpinButtonTest()
    {
        TSpinEditDescription stored;
        stored.limit = slBoth;
        stored.maxValue = 10;
        stored.minValue = 2;
        stored.value = 2;
        m_spin = new TSpinEdit(&m_window, stored);
        m_spin->setGeometry(125, 9, 70, 24);
        m_spin->SetOnChange([this] { m_seen.push_back(m_spin->Value()); });
        m_window.resize(300, 100);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_up = m_spin->SpinButton()->UpButton();
    }

    void Press() { QTest::mousePress(m_up, Qt::LeftButton, {}, m_up->rect().center()); }
    void Release(QPoint where) { QTest::mouseRelease(m_up, Qt::LeftButton, {}, where); }

    QWidget m_window;
    TSpinEdit* m_spin;
    TTimerSpeedButton* m_up;
    std::vector<std::int32_t> m_seen;
};

TEST_F(SpinButtonTest, HoldingAnArrowRepeatsAfter400ThenEvery100MsAndOnceMoreOnRelease)
{
    EXPECT_EQ(m_up->RepeatTimer(), nullptr);
    Press();
    QTimer* timer = m_up->RepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_TRUE(m_up->IsShownPressed());
    EXPECT_EQ(MouseCapture(), m_up);
    EXPECT_TRUE(m_seen.empty()) << "the press alone does not step";

    Fire(timer);
    EXPECT_EQ(timer->interval(), 100);
    for (int tick = 0; tick < 6; ++tick) Fire(timer);
    EXPECT_EQ(m_seen, (std::vector<std::int32_t>{3, 4, 5, 6, 7, 8, 9}));

    Release(m_up->rect().center());
    EXPECT_EQ(m_seen.back(), 10);
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(m_up->IsShownPressed());
    EXPECT_EQ(MouseCapture(), nullptr);

    // At the maximum the steps change nothing and report nothing.
    Press();
    EXPECT_EQ(m_up->RepeatTimer(), timer);
    EXPECT_EQ(timer->interval(), 400);
    for (int tick = 0; tick < 3; ++tick) Fire(timer);
    Release(m_up->rect().center());
    EXPECT_EQ(m_spin->text(), QStringLiteral("10"));
    EXPECT_EQ(m_seen.size(), 8U);
}

TEST_F(SpinButtonTest, DraggedOffTheArrowItShowsRaisedAndDoesNotStep)
{
    Press();
    QTimer* timer = m_up->RepeatTimer();
    const QPoint outside(m_up->width() + 20, m_up->height() / 2);
    DragTo(m_up, outside);
    EXPECT_FALSE(m_up->IsShownPressed());
    Fire(timer);
    EXPECT_TRUE(m_seen.empty());
    EXPECT_EQ(timer->interval(), 100);

    DragTo(m_up, m_up->rect().center());
    EXPECT_TRUE(m_up->IsShownPressed());
    Fire(timer);
    EXPECT_EQ(m_seen, (std::vector<std::int32_t>{3}));

    DragTo(m_up, outside);
    Release(outside);
    EXPECT_EQ(m_seen, (std::vector<std::int32_t>{3})) << "a release away from the arrow does not click";
    EXPECT_FALSE(timer->isActive());
}

TEST_F(SpinButtonTest, CancellingTheCaptureEndsTheRepeat)
{
    Press();
    CancelMouseCapture();
    EXPECT_FALSE(m_up->RepeatTimer()->isActive());
    EXPECT_FALSE(m_up->IsShownPressed());
    Release(m_up->rect().center());
    EXPECT_TRUE(m_seen.empty());

    // A timer tick that is already on its way while another widget holds the capture does not step.
    Press();
    SetMouseCapture(nullptr);
    Fire(m_up->RepeatTimer());
    EXPECT_TRUE(m_seen.empty());
    Release(m_up->rect().center());
}

TEST_F(SpinButtonTest, AnErrorInARepeatedClickStopsTheTimerAndIsPassedOn)
{
    m_spin->SetOnChange([] { throw EListError("Listenindex außerhalb des zulässigen Bereichs"); });
    Press();
    QTimer* timer = m_up->RepeatTimer();
    EXPECT_THROW(Fire(timer), EListError);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(m_spin->text(), QStringLiteral("3"));
    CancelMouseCapture();
}

TEST_F(SpinButtonTest, WithoutTheTimerAClickStepsOnlyOnRelease)
{
    m_up->SetAllowTimer(false);
    Press();
    EXPECT_EQ(m_up->RepeatTimer(), nullptr);
    Release(m_up->rect().center());
    EXPECT_EQ(m_seen, (std::vector<std::int32_t>{3}));
}

TEST(SpinButtonPair, AsATabStopTheKeysMoveTheFocusToAnArrowAndClickIt)
{
    QWidget window;
    auto* pair = new TSpinButton(&window);
    pair->setGeometry(0, 0, 15, 24);
    pair->SetTabStop(true);
    std::vector<char> clicks;
    pair->SetOnUpClick([&clicks] { clicks.push_back('u'); });
    pair->SetOnDownClick([&clicks] { clicks.push_back('d'); });
    window.show();
    QApplication::setActiveWindow(&window);
    pair->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(pair->hasFocus());
    EXPECT_TRUE(pair->UpButton()->ShowsFocus());

    QTest::keyClick(pair, Qt::Key_Down);
    QTest::keyClick(pair, Qt::Key_Space);
    QTest::keyClick(pair, Qt::Key_Up);
    EXPECT_EQ(clicks, (std::vector<char>{'d', 'd', 'u'}));
    EXPECT_EQ(pair->FocusedButton(), pair->UpButton());
    EXPECT_TRUE(pair->UpButton()->ShowsFocus());
    EXPECT_FALSE(pair->DownButton()->ShowsFocus());
}

TEST(SpinGlyphs, AreSmallDarkArrowsOnATransparentGround)
{
    struct Row {
        const char* name;
        int pointRow;
        int baseRow;
    };
    for (const Row& row : {Row{"SPINUP", 1, 4}, Row{"SPINDOWN", 4, 1}}) {
        const QImage glyph = LoadBitmap(row.name).toImage();
        ASSERT_EQ(glyph.size(), QSize(9, 6)) << row.name;
        EXPECT_EQ(qAlpha(glyph.pixel(0, 5)), 0) << row.name;
        int opaqueInPointRow = 0;
        int opaqueInBaseRow = 0;
        for (int x = 0; x < 9; ++x) {
            opaqueInPointRow += qAlpha(glyph.pixel(x, row.pointRow)) != 0 ? 1 : 0;
            opaqueInBaseRow += qAlpha(glyph.pixel(x, row.baseRow)) != 0 ? 1 : 0;
        }
        EXPECT_EQ(opaqueInPointRow, 1) << row.name;
        EXPECT_EQ(opaqueInBaseRow, 7) << row.name;
        EXPECT_LT(qGray(glyph.pixel(4, row.pointRow)), 64) << row.name;
    }
}

}  // namespace
}  // namespace quorvane
