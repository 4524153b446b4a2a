#pragma once

// The internals of the collation behind the text case service, shared by the
// comparison (PosixTextCase.cpp) and the ignore-case keys
// (PosixIgnoreCaseKeys.cpp). Tests may include this header; callers use
// PosixTextCase.h.

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::platform::posix {

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

void ToCollationText(std::string_view text, TCollationText& out);

// Scratch space per thread: the text service is shared and const, and a
// batch run asks for one key per file, so the buffers are reused.
struct TScratch {
    TCollationText First;
    TCollationText Second;
    std::string Secondary;
    std::vector<std::uint8_t> SortKey;
    std::vector<std::uint8_t> TablePrimary;
    std::vector<std::uint8_t> TableSecondary;
    std::string TableMarks;
};

TScratch& Scratch();

// The collation elements of a text, walked by ICU's iterator; one per
// thread, since the iterator holds its position.
class TElementWalker {
public:
    TElementWalker() = default;
    ~TElementWalker();
    TElementWalker(const TElementWalker&) = delete;
    TElementWalker& operator=(const TElementWalker&) = delete;

    // Appends the primary and the secondary weight bytes of `units`.
    void Append(const UCollator* collator, const UChar* units, std::size_t count, std::string& primary,
                std::string& secondary);

private:
    UCollationElements* m_elements = nullptr;
    const UCollator* m_collator = nullptr;
};

TElementWalker& Walker();

// Calls visit(first, last, text) for every item of an ICU set, a range of
// single characters (text empty) or a string, until it returns false; false
// when an item could not be read.
template <class Visit>
bool VisitSetItems(const USet* set, Visit visit)
{
    const int32_t items = uset_getItemCount(set);
    for (int32_t item = 0; item < items; ++item) {
        UChar32 first = 0;
        UChar32 last = 0;
        UChar text[64];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = uset_getItem(set, item, &first, &last, text, 64, &status);
        if (U_FAILURE(status)) return false;
        if (!visit(first, last, std::u16string_view(text, static_cast<std::size_t>(length)))) return true;
    }
    return true;
}

inline bool IsAscii(char16_t c) { return c < 0x80; }

// The ignore-case key of a text under one collator: two texts get the same
// key exactly when the collator, at secondary strength, calls them equal.
// The weights it looks up are learnt lazily, the first time a key needs
// them, so that the service stays const and a program that asks for no key
// waits for nothing.
class TIgnoreCaseKeys {
public:
    explicit TIgnoreCaseKeys(const UCollator* collator);
    ~TIgnoreCaseKeys();
    TIgnoreCaseKeys(const TIgnoreCaseKeys&) = delete;
    TIgnoreCaseKeys& operator=(const TIgnoreCaseKeys&) = delete;

    // The key of `text`; `collationText` is scratch space for the slow way.
    std::string Key(std::string_view text, TCollationText& collationText) const;

private:
    class TWeightTables;
    std::unique_ptr<TWeightTables> m_tables;
};

}  // namespace quorvane::platform::posix
