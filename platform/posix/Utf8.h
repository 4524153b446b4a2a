#pragma once

#include <cstddef>

namespace quorvane::platform::posix {

// File names on Linux are bytes that are usually, but not always, UTF-8.
// Every service of the posix backend reads them through this one decoder so
// that they agree on what a character is: a well-formed UTF-8 sequence, or
// else a single byte standing for itself.

// The length of the well-formed sequence at `text` (1 to 4) with its code
// point in `codePoint`, or 0 when the byte there starts none (an overlong
// form, a surrogate, a stray continuation byte, a cut-off sequence).
inline std::size_t DecodeUtf8(const unsigned char* text, std::size_t available, char32_t& codePoint)
{
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;   // the range the second byte must lie in,
    unsigned char high = 0xBF;  // which rules out overlong forms and surrogates
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || text[1] < low || text[1] > high) return 0;
    codePoint = (codePoint << 6) | (text[1] & 0x3F);
    for (std::size_t i = 2; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (text[i] & 0x3F);
    }
    return length;
}

// The number of bytes UTF-8 needs for `codePoint`.
inline std::size_t Utf8Length(char32_t codePoint)
{
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

// Writes `codePoint` at `out`, which has room for Utf8Length(codePoint) bytes.
inline void EncodeUtf8(char32_t codePoint, unsigned char* out)
{
    switch (Utf8Length(codePoint)) {
    case 1:
        out[0] = static_cast<unsigned char>(codePoint);
        break;
    case 2:
        out[0] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        break;
    case 3:
        out[0] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        break;
    default:
        out[0] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
        out[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        break;
    }
}

}  // namespace quorvane::platform::posix
