#include "ui/StartBounds.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace quorvane {

namespace {

// Half the screen where that is enough; the designed size where half the
// screen is less (1280 × 1024 gives 640, narrower than the window's 688);
// the work area's where even that does not fit.
int DefaultLength(int screen, int designed, int available, bool limited)
{
    const int wanted = std::max(screen / 2, designed);
    return limited ? std::min(wanted, available) : wanted;
}

}  // namespace

QRect DefaultStartBounds(const QRect& workArea, QSize screenSize, QSize designedSize)
{
    const bool limited = !workArea.isEmpty();
    const QPoint corner = limited ? workArea.topLeft() : QPoint(0, 0);
    return {corner,
            QSize(DefaultLength(screenSize.width(), designedSize.width(), workArea.width(), limited),
                  DefaultLength(screenSize.height(), designedSize.height(), workArea.height(), limited))};
}

QRect PrimaryWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

}  // namespace quorvane
