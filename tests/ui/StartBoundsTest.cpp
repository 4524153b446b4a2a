#include "ui/StartBounds.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

// The screens the window meets: the designed 688 × 512 wins over half a
// screen that is smaller, and the work area (the screen less its panels)
// bounds both.
TEST(StartBoundsTest, HalfTheScreenButAtLeastTheDesignedSizeWithinTheWorkArea)
{
    const QSize designed(688, 512);
    const struct {
        const char* Screen;
        QSize ScreenSize;
        QRect WorkArea;
        QRect Bounds;
    } cases[] = {
        {"1280 x 1024", {1280, 1024}, {0, 0, 1280, 1024}, {0, 0, 688, 512}},
        {"1366 x 768", {1366, 768}, {0, 0, 1366, 768}, {0, 0, 688, 512}},
        {"1920 x 1080", {1920, 1080}, {0, 0, 1920, 1080}, {0, 0, 960, 540}},
        {"panel at the top", {800, 600}, {0, 24, 800, 576}, {0, 24, 688, 512}},
        {"panel at the left", {1024, 768}, {48, 0, 976, 768}, {48, 0, 688, 512}},
        {"smaller than designed", {640, 480}, {0, 0, 640, 456}, {0, 0, 640, 456}},
        {"primary right of another", {2560, 1440}, {1920, 0, 2560, 1400}, {1920, 0, 1280, 720}},
        {"no screen", {0, 0}, {}, {0, 0, 688, 512}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultStartBounds(c.WorkArea, c.ScreenSize, designed), c.Bounds) << c.Screen;
    }
}

}  // namespace
}  // namespace quorvane
