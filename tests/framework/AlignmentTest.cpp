#include "framework/Alignment.h"

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "tests/framework/AddAligned.h"

#include <QRect>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::AddAligned;

TEST(AlignmentTest, MainWindowFrameFollowsEveryResize)
{
    // A top strip, a list on the left, and the rest split into a settings
    // area above a result grid.
    TForm form;
    QWidget* top = AddAligned(&form, alTop, 680, 31);
    QWidget* list = AddAligned(&form, alLeft, 190, 454);
    QWidget* rest = AddAligned(&form, alClient, 490, 454);
    QWidget* settings = AddAligned(rest, alTop, 490, 210);
    QWidget* grid = AddAligned(rest, alClient, 490, 244);
    int gridWidthOnResize = -1;
    form.OnResize = [&](QObject*) { gridWidthOnResize = grid->width(); };
    struct Case {
        int width;
        int height;
        bool shown;
    };
    for (const Case& c : {Case{680, 485, false}, Case{300, 250, false}, Case{780, 535, true}, Case{880, 600, true}}) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << (c.shown ? " shown" : " hidden"));
        if (c.shown && !form.isVisible()) {
            form.show();
            // The handler of the first sizing already sees the controls in place.
            EXPECT_EQ(gridWidthOnResize, 300 - 190);
        }
        if (c.shown) {
            form.resize(c.width, c.height);  // as the user drags the frame
        } else {
            form.SetClientWidth(c.width);
            form.SetClientHeight(c.height);
        }
        EXPECT_EQ(top->geometry(), QRect(0, 0, c.width, 31));
        EXPECT_EQ(list->geometry(), QRect(0, 31, 190, c.height - 31));
        EXPECT_EQ(rest->geometry(), QRect(190, 31, c.width - 190, c.height - 31));
        EXPECT_EQ(settings->geometry(), QRect(0, 0, c.width - 190, 210));
        EXPECT_EQ(grid->geometry(), QRect(0, 210, c.width - 190, c.height - 31 - 210));
    }
    EXPECT_EQ(gridWidthOnResize, 880 - 190);
}

TEST(AlignmentTest, OrderOfAddingSidesAndVisibility)
{
    QWidget parent;
    parent.resize(200, 100);
    QWidget* client = AddAligned(&parent, alClient, 1, 1);
    QWidget* right = AddAligned(&parent, alRight, 30, 1);
    QWidget* top1 = AddAligned(&parent, alTop, 1, 10);
    QWidget* bottom = AddAligned(&parent, alBottom, 1, 20);
    QWidget* top2 = AddAligned(&parent, alTop, 1, 5);
    QWidget* left = AddAligned(&parent, alLeft, 40, 1);
    EXPECT_EQ(top1->geometry(), QRect(0, 0, 200, 10));
    EXPECT_EQ(top2->geometry(), QRect(0, 10, 200, 5));
    EXPECT_EQ(bottom->geometry(), QRect(0, 80, 200, 20));
    EXPECT_EQ(left->geometry(), QRect(0, 15, 40, 65));
    EXPECT_EQ(right->geometry(), QRect(170, 15, 30, 65));
    EXPECT_EQ(client->geometry(), QRect(40, 15, 130, 65));

    // A hidden control gives its strip to the others until it comes back.
    top1->hide();
    EXPECT_EQ(client->geometry(), QRect(40, 5, 130, 75));
    top1->show();
    EXPECT_EQ(client->geometry(), QRect(40, 15, 130, 65));
    // A strip that changes its size moves the rest at once.
    SetControlBounds(left, 0, 0, 60, 1);
    EXPECT_EQ(client->geometry(), QRect(60, 15, 110, 65));
}

}  // namespace
}  // namespace quorvane
