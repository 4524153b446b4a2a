#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

// The program's one integer conversion, used for the section map, the
// settings file and the spin box. It accepts leading spaces (only the space
// character), then either an optional sign and decimal digits within the
// signed 32-bit range, or "$" and one to eight hexadecimal digits taken as a
// 32-bit two's-complement pattern. Nothing may follow the digits.
bool TryStrToInt(std::string_view text, std::int32_t& value);

// As TryStrToInt, but raises EConvertError "'<text>' ist kein gültiger Integerwert".
std::int32_t StrToInt(std::string_view text);

// Decimal text, a leading "-" for negative values, no leading zeros.
std::string IntToStr(std::int32_t value);

}  // namespace quorvane
