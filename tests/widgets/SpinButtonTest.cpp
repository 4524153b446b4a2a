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
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_EQ(MouseCapture(), m_up);
    EXPECT_TRUE(m_seen.empty()) << "the press alone does not step";

    Fire(timer);
    EXPECT_EQ(timer->interval(), 100);
    for (int tick = 0; tick < 6; ++tick) Fire(timer);
    EXPECT_EQ(m_seen, (std::vector<std::int32_t>{3, 4, 5, 6, 7, 8, 9}));

    Release(m_up->rect().center());
    EXPECT_EQ(m_seen.back(), 10);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(MouseCapture(), nullptr);

    // At the maximum the steps change nothing and report nothing.
    Press();
    EXPECT_EQ(m_up->RepeatTimer(), timer);
    EXPECT_EQ(timer->interval(), 400);
    for (int tick = 0; tick < 3; ++tick) Fire(timer);
    Release(m_up->rect().center());
    EXPECT_EQ(m_seen.size(), 8U);
}

TEST_F(SpinButtonTest, TicksStepOnlyWhileTheArrowIsShownPressedAndHoldsTheCapture)
{
    Press();
    QTimer* timer = m_up->RepeatTimer();
    const QPoint outside(m_up->width() + 20, m_up->height() / 2);
    DragTo(m_up, outside);
    EXPECT_FALSE(m_up->IsShownPressed());
    Fire(timer);
    DragTo(m_up, m_up->rect().center());
    EXPECT_TRUE(m_up->IsShownPressed());
    Fire(timer);
    SetMouseCapture(nullptr);
    Fire(timer);
    SetMouseCapture(m_up);
    DragTo(m_up, outside);
    Release(outside);
    EXPECT_EQ(m_seen, (std::vector<std::int32_t>{3})) << "one tick over the arrow, no click on release away from it";
    EXPECT_FALSE(timer->isActive());

    // The error display cancels the mode before it shows its box.
    Press();
    CancelMouseCapture();
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(m_up->IsShownPressed());
    Release(m_up->rect().center());
    EXPECT_EQ(m_seen.size(), 1U);
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

TEST(SpinGlyphs, AreSmallDarkArrowsOnATransparentGround)
{
    // Opaque pixels per row: a triangle pointing up or down, with a clear border.
    const std::vector<int> upward = {0, 1, 3, 5, 7, 0};
    for (const char* name : {"SPINUP", "SPINDOWN"}) {
        const QImage glyph = LoadBitmap(name).toImage();
        ASSERT_EQ(glyph.size(), QSize(9, 6)) << name;
        std::vector<int> opaque(6, 0);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 9; ++x) opaque[y] += qAlpha(glyph.pixel(x, y)) != 0 && qGray(glyph.pixel(x, y)) < 64;
        }
        EXPECT_EQ(opaque, std::string(name) == "SPINUP" ? upward : std::vector<int>(upward.rbegin(), upward.rend()))
            << name;
    }
}

}  // namespace
}  // namespace quorvane
