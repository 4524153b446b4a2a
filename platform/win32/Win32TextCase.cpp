#include "platform/TextCase.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <climits>

// Case and comparison of ANSI text by the user's locale, with the system's
// own functions, so that the program sorts and matches names exactly as
// Explorer and the file system's neighbours do.
namespace quorvane::platform {
namespace {

// The system functions take lengths as int; a name never comes near that,
// but a longer text is cut rather than handed over with a wrapped length.
int Length(std::string_view text) { return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)); }

// An empty view may carry no pointer at all, which the system refuses.
const char* Data(std::string_view text) { return text.empty() ? "" : text.data(); }

int ByteOrder(std::string_view a, std::string_view b)
{
    const int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

class TWin32TextCase final : public TextCase {
public:
    void LowerCase(std::string& text) const override
    {
        if (!text.empty()) ::CharLowerBuffA(text.data(), static_cast<DWORD>(Length(text)));
    }

    void UpperCaseCharAt(std::string& text, std::size_t index) const override
    {
        if (index < text.size()) ::CharUpperBuffA(&text[index], 1);
    }

    int CompareIgnoreCase(std::string_view a, std::string_view b) const override { return Compared(a, b, NORM_IGNORECASE); }

    int Compare(std::string_view a, std::string_view b) const override { return Compared(a, b, 0); }

    std::string IgnoreCaseKey(std::string_view text) const override
    {
        // The system refuses an empty source; the terminated empty text
        // gives the key of no characters.
        const int sourceLength = text.empty() ? -1 : Length(text);
        const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
        const int size = ::LCMapStringA(LOCALE_USER_DEFAULT, flags, Data(text), sourceLength, nullptr, 0);
        if (size <= 0) return Fallback(text);
        std::string key(static_cast<std::size_t>(size), '\0');
        if (::LCMapStringA(LOCALE_USER_DEFAULT, flags, Data(text), sourceLength, key.data(), size) != size) {
            return Fallback(text);
        }
        // A sort key ends with a zero byte, which all keys share.
        if (!key.empty() && key.back() == '\0') key.pop_back();
        return key;
    }

private:
    static int Compared(std::string_view a, std::string_view b, DWORD flags)
    {
        switch (::CompareStringA(LOCALE_USER_DEFAULT, flags, Data(a), Length(a), Data(b), Length(b))) {
        case CSTR_LESS_THAN: return -1;
        case CSTR_EQUAL: return 0;
        case CSTR_GREATER_THAN: return 1;
        default:
            // The system could not compare at all; the bytes still give a
            // stable order that tells different names apart.
            return ByteOrder(a, b);
        }
    }

    // Without a sort key the text itself, marked so that it can never equal
    // a real key, keeps different names apart as the byte order does.
    static std::string Fallback(std::string_view text) { return std::string(1, '\0') + std::string(text); }
};

}  // namespace

const TextCase& NativeTextCase()
{
    static const TWin32TextCase textCase;
    return textCase;
}

}  // namespace quorvane::platform
