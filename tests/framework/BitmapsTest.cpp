#include "framework/Bitmaps.h"

#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(BitmapsTest, TheBottomLeftColourBecomesTransparent)
{
    // Teal ground with a yellow mark; the ground colour also appears inside.
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(qRgb(0, 128, 128));
    image.setPixel(1, 1, qRgb(255, 255, 0));
    image.setPixel(2, 1, qRgb(0, 128, 129));
    const QImage result = MakeTransparent(image);
    ASSERT_EQ(result.size(), image.size());
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const bool mark = y == 1 && (x == 1 || x == 2);
            EXPECT_EQ(qAlpha(result.pixel(x, y)), mark ? 255 : 0);
        }
    }
    EXPECT_EQ(result.pixel(1, 1), qRgb(255, 255, 0));
    EXPECT_EQ(result.pixel(2, 1), qRgb(0, 128, 129));
}

TEST(BitmapsTest, AnUnknownNameIsAnError)
{
    try {
        LoadBitmap("NOSUCHPICTURE");
        FAIL() << "no error for a missing bitmap";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Bitmap-Ressource nicht gefunden: NOSUCHPICTURE");
    }
}

}  // namespace
}  // namespace quorvane
