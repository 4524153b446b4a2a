#include "framework/Fonts.h"

#include "framework/Forms.h"

#include <QFontInfo>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(FontsTest, WindowsAndTheirControlsUseArialOfThirteenPixels)
{
    TForm form;
    auto* edit = new QLineEdit(&form);
    for (const QFont& font : {WindowFont(), form.font(), edit->font()}) {
        EXPECT_EQ(font.pixelSize(), 13);
        const QString family = QFontInfo(font).family();
        EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
    }
    const QFont bold = MakeFont("Arial", 24, fsBold);
    EXPECT_EQ(bold.pixelSize(), 24);
    EXPECT_TRUE(bold.bold());
}

}  // namespace
}  // namespace quorvane
