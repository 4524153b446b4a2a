#include "framework/Controls.h"

#include "framework/Alignment.h"
#include "framework/Forms.h"
#include "framework/Panels.h"
#include "tests/framework/AddAligned.h"

#include <QRect>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::AddAligned;

TEST(ControlsTest, BevelsAndBorderNarrowTheClientArea)
{
    TForm form;
    // The structure panel: raised outside, lowered inside, one pixel each.
    auto* structure = new TPanel(&form);
    structure->SetBevelInner(bvLowered);
    SetControlBounds(structure, 15, 20, 470, 120);
    QWidget* left = AddAligned(structure, alLeft, 205, 10);
    QWidget* client = AddAligned(structure, alClient, 10, 10);
    EXPECT_EQ(left->geometry(), QRect(2, 2, 205, 116));
    EXPECT_EQ(client->geometry(), QRect(207, 2, 261, 116));

    // A single border pushes the child coordinates two pixels inwards.
    auto* framed = new TPanel(&form);
    framed->SetBevelOuter(bvNone);
    framed->SetBorderStyle(bsSingle);
    SetControlBounds(framed, -2, -2, 340, 240);
    auto* child = new QWidget(framed);
    SetControlBounds(child, 10, 8, 318, 183);
    EXPECT_EQ(child->geometry(), QRect(12, 10, 318, 183));
    EXPECT_EQ(AddAligned(framed, alClient, 1, 1)->geometry(), QRect(2, 2, 336, 236));
}

}  // namespace
}  // namespace quorvane
