#include "framework/Alignment.h"

#include "framework/Forms.h"
#include "framework/Panels.h"

#include <QRect>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

QWidget* AddAligned(QWidget* parent, TAlign align, int width, int height)
{
    auto* control = new QWidget(parent);
    control->resize(width, height);
    SetAlign(control, align);
    return control;
}

// The main window's frame: a top strip, a list on the left, and the rest
// split into a settings area above a result grid.
struct TMainLayout {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    QWidget* top = nullptr;
    QWidget* list = nullptr;
    QWidget* rest = nullptr;
    QWidget* settings = nullptr;
    QWidget* grid = nullptr;

    TMainLayout()
    {
        form->SetClientWidth(680);
        form->SetClientHeight(485);
        top = AddAligned(form.get(), alTop, 680, 31);
        list = AddAligned(form.get(), alLeft, 190, 454);
        rest = AddAligned(form.get(), alClient, 490, 454);
        settings = AddAligned(rest, alTop, 490, 210);
        grid = AddAligned(rest, alClient, 490, 244);
    }
};

TEST(AlignmentTest, MainWindowFrameFollowsEveryResize)
{
    TMainLayout layout;
    struct Case {
        int width;
        int height;
        bool shown;
    };
    for (const Case& c : {Case{680, 485, false}, Case{780, 535, false}, Case{300, 250, false}, Case{680, 485, true},
                          Case{880, 600, true}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << (c.shown ? " shown" : " hidden"));
        if (c.shown) {
            layout.form->show();
            // A resize of a visible window, as the user drags the frame.
            layout.form->resize(c.width, c.height);
        } else {
            layout.form->SetClientWidth(c.width);
            layout.form->SetClientHeight(c.height);
        }
        EXPECT_EQ(layout.top->geometry(), QRect(0, 0, c.width, 31));
        EXPECT_EQ(layout.list->geometry(), QRect(0, 31, 190, c.height - 31));
        EXPECT_EQ(layout.rest->geometry(), QRect(190, 31, c.width - 190, c.height - 31));
        EXPECT_EQ(layout.settings->geometry(), QRect(0, 0, c.width - 190, 210));
        EXPECT_EQ(layout.grid->geometry(), QRect(0, 210, c.width - 190, c.height - 31 - 210));
    }
}

TEST(AlignmentTest, ResizeHandlerSeesTheControlsInPlaceAtTheFirstShow)
{
    TMainLayout layout;
    int gridWidthSeen = -1;
    layout.form->OnResize = [&](QObject*) { gridWidthSeen = layout.grid->width(); };
    layout.form->SetClientWidth(800);
    layout.form->show();
    EXPECT_EQ(gridWidthSeen, 800 - 190);
}

TEST(AlignmentTest, BevelsAndBorderNarrowTheClientArea)
{
    TForm form;
    // The structure panel: raised outside, lowered inside, one pixel each.
    auto* structure = new TPanel(&form);
    structure->SetBevelInner(bvLowered);
    SetBounds(structure, 15, 20, 470, 120);
    QWidget* left = AddAligned(structure, alLeft, 205, 10);
    QWidget* client = AddAligned(structure, alClient, 10, 10);
    EXPECT_EQ(left->geometry(), QRect(2, 2, 205, 116));
    EXPECT_EQ(client->geometry(), QRect(207, 2, 261, 116));

    // A single border pushes the child coordinates two pixels inwards.
    auto* framed = new TPanel(&form);
    framed->SetBevelOuter(bvNone);
    framed->SetBorderStyle(bsSingle);
    SetBounds(framed, -2, -2, 340, 240);
    auto* child = new QWidget(framed);
    SetBounds(child, 10, 8, 318, 183);
    EXPECT_EQ(child->geometry(), QRect(12, 10, 318, 183));
    QWidget* filling = AddAligned(framed, alClient, 1, 1);
    EXPECT_EQ(filling->geometry(), QRect(2, 2, 336, 236));
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
    EXPECT_EQ(top2->geometry(), QRect(0, 0, 200, 5));
    EXPECT_EQ(client->geometry(), QRect(40, 5, 130, 75));
    top1->show();
    EXPECT_EQ(top2->geometry(), QRect(0, 10, 200, 5));

    // Changing a strip's size through SetBounds moves the rest at once.
    SetBounds(left, 0, 0, 60, 1);
    EXPECT_EQ(client->geometry(), QRect(60, 15, 110, 65));
    SetAlign(left, alNone);
    EXPECT_EQ(Align(left), alNone);
    EXPECT_EQ(client->geometry(), QRect(0, 15, 170, 65));
}

TEST(AlignmentTest, CanFocusNeedsAVisibleEnabledChain)
{
    TForm form;
    auto* panel = new TPanel(&form);
    auto* button = new QWidget(panel);
    form.show();
    EXPECT_TRUE(CanFocus(button));
    panel->SetEnabled(false);
    EXPECT_FALSE(CanFocus(button));
    panel->SetEnabled(true);
    panel->hide();
    EXPECT_FALSE(CanFocus(button));
    panel->show();
    form.hide();
    EXPECT_FALSE(CanFocus(button));
}

}  // namespace
}  // namespace quorvane
