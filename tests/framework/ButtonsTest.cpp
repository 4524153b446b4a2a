#include "framework/Buttons.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {
namespace {

std::string DownStates(const std::vector<TSpeedButton*>& buttons)
{
    std::string states;
    for (const TSpeedButton* button : buttons) states += button->Down() ? 'D' : '-';
    return states;
}

TEST(ButtonsTest, SpeedButtonsOfAGroupActAsARadioGroup)
{
    QWidget parent;
    QWidget otherParent;
    auto* copyright = new TSpeedButton(&parent);
    auto* mail = new TSpeedButton(&parent);
    auto* otherGroup = new TSpeedButton(&parent);
    auto* otherParents = new TSpeedButton(&otherParent);
    auto* plain = new TSpeedButton(&parent);
    for (TSpeedButton* button : {copyright, mail, otherParents}) button->SetGroupIndex(1);
    otherGroup->SetGroupIndex(2);
    const std::vector<TSpeedButton*> all{copyright, mail, otherGroup, otherParents, plain};
    int clicks = 0;
    for (TSpeedButton* button : all) button->OnClick = [&](QObject*) { ++clicks; };

    copyright->SetDown(true);
    otherGroup->SetDown(true);
    otherParents->SetDown(true);
    EXPECT_EQ(DownStates(all), "D-DD-");
    EXPECT_EQ(clicks, 0);

    struct Step {
        TSpeedButton* pressed;
        const char* states;
    };
    for (const Step& step : {Step{mail, "-DDD-"}, Step{mail, "-DDD-"}, Step{copyright, "D-DD-"},
                             Step{otherGroup, "D-DD-"}, Step{plain, "D-DD-"}}) {
        step.pressed->click();
        EXPECT_EQ(DownStates(all), step.states);
    }
    EXPECT_EQ(clicks, 5);

    // Releasing the one that is down is refused: the group never has all up.
    copyright->SetDown(false);
    EXPECT_EQ(DownStates(all), "D-DD-");
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down());
    // Click fires the event without touching the state.
    mail->Click();
    EXPECT_EQ(DownStates(all), "D-DD-");
    EXPECT_EQ(clicks, 6);
}

TEST(ButtonsTest, GlyphHoldsTheNormalAndTheDisabledPicture)
{
    QImage glyph(32, 16, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    for (int y = 0; y < 16; ++y) glyph.setPixel(20, y, qRgb(0, 0, 255));
    const QIcon icon = GlyphIcon(QPixmap::fromImage(glyph), 2);
    EXPECT_EQ(icon.pixmap(16, 16, QIcon::Normal).toImage().pixel(4, 3), qRgb(255, 0, 0));
    EXPECT_EQ(icon.pixmap(16, 16, QIcon::Disabled).toImage().pixel(4, 3), qRgb(0, 0, 255));
}

}  // namespace
}  // namespace quorvane
