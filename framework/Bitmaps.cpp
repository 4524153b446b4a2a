#include "framework/Bitmaps.h"

#include "framework/Messages.h"
#include "framework/NarrowText.h"
#include "runtime/Exceptions.h"

#include <string>

namespace quorvane {

namespace {

// Every picture is an XPM text file in resources/, compiled in under its name.
QImage LoadImage(std::string_view name)
{
    const QImage image(QStringLiteral(":/bitmaps/") + ToQString(name) + QStringLiteral(".xpm"));
    if (image.isNull()) {
        throw Exception(messages::kBitmapNotFound + std::string(name));
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
    return QPixmap::fromImage(MakeTransparent(LoadImage(name)));
}

QImage MakeTransparent(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull()) return result;
    const QRgb transparent = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return result;
}

}  // namespace quorvane
