#include "framework/Labels.h"

#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(LabelsTest, ShowsItsTextLiterallyAndSizesToIt)
{
    QWidget parent;
    auto* label = new TLabel(&parent);
    label->move(106, 17);
    label->SetCaption("Quorvane");
    const int shortWidth = label->width();
    label->SetCaption("Quorvane & <b>Co</b> V1.24");
    EXPECT_EQ(label->Caption(), "Quorvane & <b>Co</b> V1.24");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_GT(label->width(), shortWidth);
    EXPECT_EQ(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    EXPECT_EQ(label->pos(), QPoint(106, 17));
    EXPECT_TRUE(label->Transparent());

    label->SetAutoSize(false);
    label->resize(308, 16);
    label->SetCaption("x");
    EXPECT_EQ(label->size(), QSize(308, 16));
}

TEST(LabelsTest, ReportsAClickPressedAndReleasedOverIt)
{
    QWidget parent;
    auto* label = new TLabel(&parent);
    label->SetCaption("www.example.org");
    int clicks = 0;
    label->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, label);
        ++clicks;
    };
    QTest::mouseClick(label, Qt::LeftButton);
    QTest::mouseClick(label, Qt::RightButton);
    EXPECT_EQ(clicks, 1);
    // Pressed over the label and released beside it: no click.
    QTest::mousePress(label, Qt::LeftButton);
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(label->width() + 5, 2));
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace quorvane
