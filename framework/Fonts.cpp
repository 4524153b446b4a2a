#include "framework/Fonts.h"

#include "framework/NarrowText.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace quorvane {

namespace {

// Liberation Sans has Arial's metrics, so texts fit the controls as designed.
void SubstituteArial()
{
    static const bool done = [] {
        if (!QFontDatabase::families().contains(QStringLiteral("Arial"))) {
            QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        }
        return true;
    }();
    (void)done;
}

}  // namespace

QFont MakeFont(std::string_view family, int characterHeight, int styles)
{
    SubstituteArial();
    QFont font(ToQString(family));
    font.setPixelSize(characterHeight);
    font.setBold((styles & fsBold) != 0);
    font.setItalic((styles & fsItalic) != 0);
    return font;
}

QFont WindowFont() { return MakeFont("Arial", 13); }

}  // namespace quorvane
