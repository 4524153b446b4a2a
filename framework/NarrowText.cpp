#include "framework/NarrowText.h"

#include <QByteArray>

namespace quorvane {

// Qt's local 8-bit encoding is the ANSI code page on Windows and UTF-8 on
// Linux: exactly the narrow encoding of the platform layer.
QString ToQString(std::string_view narrow)
{
    return QString::fromLocal8Bit(narrow.data(), static_cast<qsizetype>(narrow.size()));
}

std::string FromQString(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quorvane
