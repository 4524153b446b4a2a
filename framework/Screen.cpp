#include "framework/Screen.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace quorvane {

namespace {

QRect ScreenGeometry(const QWidget* window)
{
    const QScreen* screen = window != nullptr ? window->screen() : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect();
}

}  // namespace

int ScreenWidth() { return ScreenGeometry(nullptr).width(); }

int ScreenHeight() { return ScreenGeometry(nullptr).height(); }

QPoint ScreenCentredPosition(QSize outerSize, const QWidget* window)
{
    const QRect screen = ScreenGeometry(window);
    return {screen.x() + (screen.width() - outerSize.width()) / 2,
            screen.y() + (screen.height() - outerSize.height()) / 2};
}

}  // namespace quorvane
