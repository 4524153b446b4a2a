#include "platform/posix/PosixTextCase.h"

#include "platform/TextCase.h"
#include "platform/posix/Utf8.h"

#include <unicode/ucol.h>
#include <unicode/uchar.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace quorvane::platform::posix {

std::string CollationLocaleName(const char* lcAll, const char* lcCollate, const char* lang)
{
    const char* chosen = nullptr;
    for (const char* candidate : {lcAll, lcCollate, lang}) {
        if (candidate != nullptr && *candidate != '\0') {
            chosen = candidate;
            break;
        }
    }
    if (chosen == nullptr) return {};
    std::string name(chosen);
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX") return {};
    return name;
}

namespace {

// Bytes that are not UTF-8 go to the collator as code points of the private
// use area, one per byte value, so that two names differing in such a byte
// never collate equal (they would, had both become U+FFFD). Genuine
// characters of that range could still meet an escaped byte; a tie-breaker
// that records which of the two each one was keeps them apart.
constexpr char32_t kEscapeBase = 0xF700;
constexpr char32_t kEscapeFirst = kEscapeBase + 0x80;
constexpr char32_t kEscapeLast = kEscapeBase + 0xFF;
constexpr char kEscapedByte = 'e';
constexpr char kGenuineCharacter = 'g';

// A name as the collator reads it, with the tie-breaker beside it.
struct TCollationText {
    std::vector<UChar> Units;
    std::string Marks;
};

void ToCollationText(std::string_view text, TCollationText& out)
{
    out.Units.clear();
    out.Marks.clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        if (bytes[i] < 0x80) {
            out.Units.push_back(bytes[i++]);
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(bytes + i, size - i, codePoint);
        if (length == 0) {
            out.Units.push_back(static_cast<UChar>(kEscapeBase + bytes[i]));
            out.Marks.push_back(kEscapedByte);
            ++i;
            continue;
        }
        i += length;
        if (codePoint >= kEscapeFirst && codePoint <= kEscapeLast) out.Marks.push_back(kGenuineCharacter);
        if (codePoint < 0x10000) {
            out.Units.push_back(static_cast<UChar>(codePoint));
        } else {
            out.Units.push_back(static_cast<UChar>(0xD7C0 + (codePoint >> 10)));
            out.Units.push_back(static_cast<UChar>(0xDC00 | (codePoint & 0x3FF)));
        }
    }
}

// Scratch space per thread: the text service is shared and const, and a
// batch run asks for one key per file, so the buffers are reused.
struct TScratch {
    TCollationText First;
    TCollationText Second;
    std::vector<std::uint8_t> Key;
};

TScratch& Scratch()
{
    thread_local TScratch scratch;
    return scratch;
}

class TCollator {
public:
    TCollator(const std::string& locale, UColAttributeValue strength)
    {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open(locale.c_str(), &status);
        if (U_FAILURE(status)) {
            // An unknown locale should still sort names sensibly.
            status = U_ZERO_ERROR;
            m_collator = ucol_open("", &status);
        }
        if (m_collator != nullptr) ucol_setStrength(m_collator, strength);
    }
    ~TCollator()
    {
        if (m_collator != nullptr) ucol_close(m_collator);
    }
    TCollator(const TCollator&) = delete;
    TCollator& operator=(const TCollator&) = delete;

    int Compare(std::string_view a, std::string_view b) const
    {
        TScratch& scratch = Scratch();
        ToCollationText(a, scratch.First);
        ToCollationText(b, scratch.Second);
        const auto& x = scratch.First;
        const auto& y = scratch.Second;
        const UCollationResult result = m_collator == nullptr
            ? UCOL_EQUAL
            : ucol_strcoll(m_collator, x.Units.data(), static_cast<int32_t>(x.Units.size()), y.Units.data(),
                           static_cast<int32_t>(y.Units.size()));
        if (result != UCOL_EQUAL) return result < 0 ? -1 : 1;
        if (m_collator == nullptr) return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
        const int marks = x.Marks.compare(y.Marks);
        return marks < 0 ? -1 : marks > 0 ? 1 : 0;
    }

    std::string Key(std::string_view text) const
    {
        if (m_collator == nullptr) return std::string(text);
        TScratch& scratch = Scratch();
        ToCollationText(text, scratch.First);
        const auto& units = scratch.First.Units;
        std::vector<std::uint8_t>& key = scratch.Key;
        if (key.size() < 256) key.resize(256);
        int32_t length = ucol_getSortKey(m_collator, units.data(), static_cast<int32_t>(units.size()), key.data(),
                                         static_cast<int32_t>(key.size()));
        if (length > static_cast<int32_t>(key.size())) {
            key.resize(static_cast<std::size_t>(length));
            length = ucol_getSortKey(m_collator, units.data(), static_cast<int32_t>(units.size()), key.data(),
                                     static_cast<int32_t>(key.size()));
        }
        // ICU ends its key with one zero byte and has none before it, so the
        // tie-breaker can follow that zero without two keys running together.
        std::string result(reinterpret_cast<const char*>(key.data()), length > 0 ? length - 1 : 0);
        if (!scratch.First.Marks.empty()) {
            result.push_back('\0');
            result += scratch.First.Marks;
        }
        return result;
    }

private:
    UCollator* m_collator = nullptr;
};

// The case rules keep every text at its byte length: a character changes
// only when its counterpart takes as many UTF-8 bytes, so "ß" stays "ß" and
// positions found in a lower-cased copy stay valid in the original.
template <class Mapping>
std::size_t MapCharAt(std::string& text, std::size_t index, Mapping mapping)
{
    auto* bytes = reinterpret_cast<unsigned char*>(text.data());
    char32_t codePoint = 0;
    const std::size_t length = DecodeUtf8(bytes + index, text.size() - index, codePoint);
    if (length == 0) return 1;
    const auto mapped = static_cast<char32_t>(mapping(static_cast<UChar32>(codePoint)));
    if (mapped != codePoint && Utf8Length(mapped) == length) EncodeUtf8(mapped, bytes + index);
    return length;
}

class TPosixTextCase final : public TextCase {
public:
    TPosixTextCase()
        : m_locale(CollationLocaleName(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"), std::getenv("LANG"))),
          m_ignoringCase(m_locale, UCOL_SECONDARY),
          m_withCase(m_locale, UCOL_TERTIARY)
    {
    }

    void LowerCase(std::string& text) const override
    {
        for (std::size_t i = 0; i < text.size();) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if (byte < 0x80) {
                if (byte >= 'A' && byte <= 'Z') text[i] = static_cast<char>(byte + ('a' - 'A'));
                ++i;
            } else {
                i += MapCharAt(text, i, u_tolower);
            }
        }
    }

    void UpperCaseCharAt(std::string& text, std::size_t index) const override
    {
        if (index < text.size()) MapCharAt(text, index, u_toupper);
    }

    int CompareIgnoreCase(std::string_view a, std::string_view b) const override
    {
        return m_ignoringCase.Compare(a, b);
    }

    int Compare(std::string_view a, std::string_view b) const override { return m_withCase.Compare(a, b); }

    std::string IgnoreCaseKey(std::string_view text) const override { return m_ignoringCase.Key(text); }

private:
    std::string m_locale;
    TCollator m_ignoringCase;
    TCollator m_withCase;
};

}  // namespace

}  // namespace quorvane::platform::posix

namespace quorvane::platform {

const TextCase& NativeTextCase()
{
    static const posix::TPosixTextCase textCase;
    return textCase;
}

}  // namespace quorvane::platform
