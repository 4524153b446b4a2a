#include "framework/Bitmaps.h"

#include "framework/NarrowText.h"
#include "runtime/Exceptions.h"

#include <QBitmap>
#include <QImage>

#include <string>

namespace quorvane {

namespace {

// Every picture is an XPM text file in resources/, compiled in under its name.
QImage LoadImage(std::string_view name)
{
    const QImage image(QStringLiteral(":/bitmaps/") + ToQString(name) + QStringLiteral(".xpm"));
    if (image.isNull()) {
        throw Exception("Bitmap-Ressource nicht gefunden: " + std::string(name));
    }
    return image;
}

}  // namespace

QPixmap LoadBitmapOpaque(std::string_view name)
{
    return QPixmap::fromImage(LoadImage(name));
}

QPixmap LoadBitmap(std::string_view name)
{
    QImage image = LoadImage(name).convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace quorvane
