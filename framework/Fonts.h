#pragma once

#include <QFont>

#include <string_view>

namespace quorvane {

enum TFontStyle { fsRegular = 0, fsBold = 1, fsItalic = 2 };

// A font by family and character height in pixels (the height of the
// letters themselves, not of the line). Arial stands for Liberation Sans on
// systems that have no Arial.
QFont MakeFont(std::string_view family, int characterHeight, int styles = fsRegular);

// The font of every window and, through them, of every control: Arial with a
// character height of 13 pixels.
QFont WindowFont();

}  // namespace quorvane
