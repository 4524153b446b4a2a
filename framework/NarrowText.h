#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quorvane {

// File names and every other text of the program stay in the platform's own
// narrow encoding; QString is only for painting and for what the user typed.
QString ToQString(std::string_view narrow);
std::string FromQString(const QString& text);

}  // namespace quorvane
