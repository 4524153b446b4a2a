#pragma once

#include <QImage>
#include <QPixmap>

#include <string_view>

namespace quorvane {

// A bitmap of the program's resources by name ("OPENFOLDER", "SPINUP",
// "MainIcon", ...), made transparent where it has the colour of its
// bottom-left pixel. Raises Exception when the program has no such bitmap.
QPixmap LoadBitmap(std::string_view name);

// The same bitmap without transparency, as stored.
QPixmap LoadBitmapOpaque(std::string_view name);

// Every pixel of the colour of the bottom-left pixel becomes transparent, so
// small pictures can be drawn over any background.
QImage MakeTransparent(const QImage& image);

}  // namespace quorvane
