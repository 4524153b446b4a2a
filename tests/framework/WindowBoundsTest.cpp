#include "framework/WindowBounds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {
namespace {

const QMargins kFrame(4, 24, 4, 4);
const QRect kAsked(100, 50, 400, 300);
const QRect kAskedClient(104, 74, 392, 272);  // kAsked inside kFrame

TWindowReport Shown(const QRect& client, const QMargins& frame = kFrame) { return {true, true, client, frame}; }

struct Step {
    TWindowReport report;
    TFitOccasion occasion;
    TFitStep::TAction action;
    QRect client;  // where the client goes, for faPlace
    int repeat = 1;
};

struct FitCase {
    std::string name;
    TRequestPriority priority;
    std::vector<Step> steps;
};

// Bounds asked for before the window was framed, as a start from the
// settings does, through the window manager's reports and retry ticks.
TEST(WindowBoundsTest, BoundsAskedForAreFittedUntilTheyStand)
{
    const TWindowReport unframed = Shown(kAsked, QMargins());
    const TWindowReport framedLate = Shown(kAsked);  // the frame came around the old client
    const TWindowReport standing = Shown(kAskedClient);
    const TWindowReport resized = Shown(QRect(104, 74, 500, 350));
    const TWindowReport moved = Shown(kAskedClient.translated(30, 0));
    const std::vector<FitCase> cases = {
        {"framed, placed, then seen standing on three ticks",
         rpYieldToSizing,
         {{unframed, foReport, TFitStep::faWait, {}},
          {framedLate, foReport, TFitStep::faPlace, kAskedClient},
          {standing, foReport, TFitStep::faWait, {}},
          {standing, foTick, TFitStep::faWait, {}, 2},
          {standing, foTick, TFitStep::faSettled, {}},
          {framedLate, foTick, TFitStep::faIdle, {}}}},
        {"the window manager moves it back: the count starts again",
         rpYieldToSizing,
         {{framedLate, foReport, TFitStep::faPlace, kAskedClient},
          {standing, foTick, TFitStep::faWait, {}, 2},
          {moved, foTick, TFitStep::faPlace, kAskedClient},
          {standing, foTick, TFitStep::faWait, {}, 2},
          {standing, foTick, TFitStep::faSettled, {}}}},
        {"a sizing since wins over bounds asked for at start",
         rpYieldToSizing,
         {{resized, foReport, TFitStep::faSettled, {}}}},
        {"a return to normal state wins over the window manager's sizing",
         rpOverrideSizing,
         {{resized, foReport, TFitStep::faPlace, kAskedClient}}},
        {"never framed: given up after the last attempt",
         rpYieldToSizing,
         {{unframed, foTick, TFitStep::faWait, {}, TWindowBounds::kFitAttempts},
          {unframed, foTick, TFitStep::faSettled, {}}}},
        {"nothing while hidden, maximised or minimised",
         rpYieldToSizing,
         {{{false, true, kAsked, kFrame}, foTick, TFitStep::faIdle, {}},
          {{true, false, kAsked, kFrame}, foTick, TFitStep::faIdle, {}},
          {framedLate, foReport, TFitStep::faPlace, kAskedClient}}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowBounds bounds;
        bounds.Request(kAsked, kAsked.size(), c.priority);
        int index = 0;
        for (const Step& step : c.steps) {
            for (int i = 0; i < step.repeat; ++i) {
                SCOPED_TRACE(testing::Message() << "step " << index << " time " << i);
                const TFitStep answer = bounds.Fit(step.report, step.occasion);
                EXPECT_EQ(answer.Action, step.action);
                if (answer.Action == TFitStep::faPlace) {
                    EXPECT_EQ(answer.Client, step.client);
                    bounds.Placed(step.client.size());
                }
            }
            ++index;
        }
    }
}

TEST(WindowBoundsTest, NormalBoundsAreTheOnesAskedForOrASettledGeometry)
{
    TWindowBounds bounds;
    const TWindowReport unframed = Shown(kAsked, QMargins());
    bounds.Request(kAsked, kAsked.size(), rpYieldToSizing);
    // Read back while on their way, the bounds are those asked for, not the
    // window's of the moment, unless the window is maximised.
    EXPECT_EQ(bounds.Outer(Shown(QRect(0, 0, 10, 10))), kAsked);
    EXPECT_EQ(bounds.Outer({true, false, QRect(0, 0, 10, 10), kFrame}), QRect(-4, -24, 18, 38));
    EXPECT_FALSE(bounds.AwaitsSettling(unframed));
    bounds.LeaveNormal(Shown(QRect(0, 0, 10, 10)));
    EXPECT_EQ(bounds.NormalBounds(), kAsked);

    // A maximised size reported before the state never becomes the normal
    // bounds: only a geometry that stood in normal state, framed.
    bounds.Drop();
    const TWindowReport maximised = Shown(QRect(0, 24, 1024, 720));
    EXPECT_TRUE(bounds.AwaitsSettling(maximised));
    bounds.Settle({true, false, QRect(0, 24, 1024, 720), kFrame});
    bounds.Settle(unframed);
    bounds.Suspended = true;
    bounds.Settle(Shown(kAskedClient));
    EXPECT_EQ(bounds.NormalBounds(), kAsked);
    bounds.Suspended = false;
    bounds.Settle(Shown(QRect(10, 34, 200, 100)));
    EXPECT_EQ(bounds.NormalBounds(), QRect(6, 10, 208, 128));

    // Back from maximised through the window manager, the window asks for them.
    EXPECT_TRUE(bounds.RestoresNormal(Shown(kAskedClient), true));
    EXPECT_FALSE(bounds.RestoresNormal(Shown(kAskedClient), false));
    EXPECT_FALSE(TWindowBounds().RestoresNormal(Shown(kAskedClient), true)) << "no normal bounds yet";
}

TEST(WindowBoundsTest, UnreachableBoundsAreMadeReachable)
{
    const QRect screen(0, 0, 1024, 768);
    const QRect area(0, 0, 1024, 740);  // without a panel at the bottom
    const QRect right(1024, 0, 800, 600);
    struct Case {
        QRect outer;
        bool framed;
        std::vector<QRect> screens;
        QRect expected;
    };
    const std::vector<Case> cases = {
        {QRect(100, 100, 400, 300), true, {screen}, QRect(100, 100, 400, 300)},
        {QRect(100, 100, 0, 0), true, {screen}, QRect(100, 100, kMinimumOuterWidth, kMinimumOuterHeight)},
        {QRect(100, 100, 0, 0), false, {screen}, QRect(100, 100, 1, 1)},
        // The caption bar on the second screen is reachable; off both it is not.
        {QRect(1500, 100, 400, 300), true, {screen, right}, QRect(1500, 100, 400, 300)},
        {QRect(1500, 100, 400, 300), true, {screen}, QRect(624, 100, 400, 300)},
        {QRect(-2000, -2000, 400, 300), true, {screen}, QRect(0, 0, 400, 300)},
        // Too little of the caption bar on the screen to grab it.
        {QRect(1000, 100, 400, 300), true, {screen}, QRect(624, 100, 400, 300)},
        {QRect(992, 100, 400, 300), true, {screen}, QRect(992, 100, 400, 300)},
        {QRect(100, 760, 400, 300), true, {screen}, QRect(100, 440, 400, 300)},
        // Larger than the screen: its corner goes to the screen's corner.
        {QRect(3000, 50, 2000, 300), true, {screen}, QRect(0, 50, 2000, 300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outer.x() << "," << c.outer.y() << " " << c.outer.width() << "x"
                                        << c.outer.height());
        EXPECT_EQ(ReachableBounds(c.outer, c.framed, c.screens, area), c.expected);
    }
    EXPECT_EQ(ReachableBounds(QRect(5000, 0, 400, 300), true, {}, std::nullopt), QRect(5000, 0, 400, 300))
        << "without a primary screen the window stays where it is";
}

}  // namespace
}  // namespace quorvane
