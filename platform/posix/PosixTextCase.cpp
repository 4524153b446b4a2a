#include "platform/posix/PosixTextCase.h"
#include "platform/posix/PosixTextCase_p.h"

#include "platform/TextCase.h"
#include "platform/posix/Utf8.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uchar.h>
#include <unicode/uset.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>

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

TScratch& Scratch()
{
    thread_local TScratch scratch;
    return scratch;
}

TElementWalker::~TElementWalker()
{
    if (m_elements != nullptr) ucol_closeElements(m_elements);
}

void TElementWalker::Append(const UCollator* collator, const UChar* units, std::size_t count, std::string& primary,
                            std::string& secondary)
{
    UErrorCode status = U_ZERO_ERROR;
    if (m_elements == nullptr || m_collator != collator) {
        if (m_elements != nullptr) ucol_closeElements(m_elements);
        m_elements = ucol_openElements(collator, units, static_cast<int32_t>(count), &status);
        m_collator = collator;
    } else {
        ucol_setText(m_elements, units, static_cast<int32_t>(count), &status);
    }
    if (U_FAILURE(status)) return;
    // Each element carries 16 bits of the primary weight and 8 of the
    // secondary; longer weights continue in the next element. Weights
    // never hold a zero byte, so dropping the zero bytes keeps them apart
    // exactly as ICU's own sort keys do.
    for (int32_t element = ucol_next(m_elements, &status); element != UCOL_NULLORDER && U_SUCCESS(status);
         element = ucol_next(m_elements, &status)) {
        const auto bits = static_cast<std::uint32_t>(element);
        if (const auto byte = static_cast<char>(bits >> 24)) primary.push_back(byte);
        if (const auto byte = static_cast<char>(bits >> 16)) primary.push_back(byte);
        if (const auto byte = static_cast<char>(bits >> 8)) secondary.push_back(byte);
    }
}

TElementWalker& Walker()
{
    thread_local TElementWalker walker;
    return walker;
}

namespace {

UCollator* OpenCollator(const std::string& locale, UColAttributeValue strength)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale.c_str(), &status);
    if (U_FAILURE(status)) {
        // An unknown locale should still sort names sensibly.
        status = U_ZERO_ERROR;
        collator = ucol_open("", &status);
    }
    if (collator != nullptr) ucol_setStrength(collator, strength);
    return collator;
}

class TCollator {
public:
    TCollator(const std::string& locale, UColAttributeValue strength) : m_collator(OpenCollator(locale, strength)) {}
    ~TCollator()
    {
        if (m_collator != nullptr) ucol_close(m_collator);
    }
    TCollator(const TCollator&) = delete;
    TCollator& operator=(const TCollator&) = delete;

    int Compare(std::string_view a, std::string_view b) const
    {
        if (m_collator == nullptr) return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
        TScratch& scratch = Scratch();
        ToCollationText(a, scratch.First);
        ToCollationText(b, scratch.Second);
        const auto& x = scratch.First;
        const auto& y = scratch.Second;
        const UCollationResult result = ucol_strcoll(m_collator, x.Units.data(), static_cast<int32_t>(x.Units.size()),
                                                     y.Units.data(), static_cast<int32_t>(y.Units.size()));
        if (result != UCOL_EQUAL) return result < 0 ? -1 : 1;
        const int marks = x.Marks.compare(y.Marks);
        return marks < 0 ? -1 : marks > 0 ? 1 : 0;
    }

    std::string Key(std::string_view text) const
    {
        if (m_collator == nullptr) return std::string(text);
        // The table of weights takes milliseconds to learn; a program that
        // never asks for a key (a run over an empty folder, a start-up) does
        // not wait for it.
        std::call_once(m_keysLearnt, [this] { m_keys.emplace(m_collator); });
        return m_keys->Key(text, Scratch().First);
    }

private:
    UCollator* m_collator;
    mutable std::once_flag m_keysLearnt;
    mutable std::optional<TIgnoreCaseKeys> m_keys;
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
    explicit TPosixTextCase(std::string locale)
        : m_locale(std::move(locale)),
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
        if (index >= text.size()) return;
        // Word starts are mostly ASCII letters, which need no look-up.
        const auto byte = static_cast<unsigned char>(text[index]);
        if (byte < 0x80) {
            if (byte >= 'a' && byte <= 'z') text[index] = static_cast<char>(byte - ('a' - 'A'));
            return;
        }
        MapCharAt(text, index, u_toupper);
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

bool RootHasAsciiContractions()
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* root = ucol_open("", &status);
    USet* contractions = uset_openEmpty();
    ucol_getContractionsAndExpansions(root, contractions, nullptr, true, &status);
    bool found = false;
    const bool read = U_SUCCESS(status) && VisitSetItems(contractions, [&](UChar32, UChar32, std::u16string_view text) {
        found = !text.empty() && std::all_of(text.begin(), text.end(), IsAscii);
        return !found;
    });
    uset_close(contractions);
    ucol_close(root);
    return found || !read;
}

std::unique_ptr<TextCase> MakeTextCase(std::string locale)
{
    return std::make_unique<TPosixTextCase>(std::move(locale));
}

}  // namespace quorvane::platform::posix

namespace quorvane::platform {

const TextCase& NativeTextCase()
{
    static const posix::TPosixTextCase textCase(
        posix::CollationLocaleName(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"), std::getenv("LANG")));
    return textCase;
}

}  // namespace quorvane::platform
