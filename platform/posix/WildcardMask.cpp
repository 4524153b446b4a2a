#include "platform/posix/WildcardMask.h"

#include "platform/posix/Utf8.h"

#include <unicode/uchar.h>

namespace quorvane::platform::posix {

namespace {

// Symbols beyond the last code point: the two wildcards, and bytes that are
// not UTF-8, which match only themselves.
constexpr char32_t kAnyRun = 0x7FFFFFFF;
constexpr char32_t kAnyOne = 0x7FFFFFFE;
constexpr char32_t kRawByteBase = 0x110000;

// Appends the case-folded characters of `text` to `out`.
void AppendFolded(std::string_view text, std::vector<char32_t>& out)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = bytes[i];
        if (byte < 0x80) {
            out.push_back(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(bytes + i, text.size() - i, codePoint);
        if (length == 0) {
            out.push_back(kRawByteBase + byte);
            ++i;
        } else {
            out.push_back(static_cast<char32_t>(u_foldCase(static_cast<UChar32>(codePoint), U_FOLD_CASE_DEFAULT)));
            i += length;
        }
    }
}

}  // namespace

TWildcardMask::TWildcardMask(std::string_view mask)
{
    AppendFolded(mask, m_symbols);
    for (char32_t& symbol : m_symbols) {
        if (symbol == '*') symbol = kAnyRun;
        else if (symbol == '?') symbol = kAnyOne;
    }
    std::size_t stars = m_symbols.size();
    while (stars > 0 && m_symbols[stars - 1] == kAnyRun) --stars;
    const bool dotTail = stars > 0 && stars < m_symbols.size() && m_symbols[stars - 1] == '.';
    m_withoutTail = dotTail ? stars - 1 : m_symbols.size();

    bool allStars = true;
    for (std::size_t i = 0; i < m_withoutTail; ++i) allStars = allStars && m_symbols[i] == kAnyRun;
    m_matchesAll = allStars && m_withoutTail > 0;

    bool starThenAscii = m_symbols.size() > 1 && m_symbols[0] == kAnyRun;
    for (std::size_t i = 1; i < m_symbols.size() && starThenAscii; ++i) {
        starThenAscii = m_symbols[i] < 0x80;
    }
    if (starThenAscii) {
        for (std::size_t i = 1; i < m_symbols.size(); ++i) m_asciiEnd.push_back(static_cast<char>(m_symbols[i]));
    }
}

bool TWildcardMask::Matches(std::string_view name) const
{
    if (m_matchesAll) return true;
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    if (!m_asciiEnd.empty()) {
        // Every character takes at least one byte, so a shorter name cannot
        // match. Where the name's last bytes are ASCII they are its last
        // characters, and the star takes whatever stands before them. A
        // character beyond ASCII there may still fold to an ASCII letter
        // (the Kelvin sign to "k"), so such a name takes the long way.
        const std::size_t length = m_asciiEnd.size();
        if (name.size() < length) return false;
        const unsigned char* end = bytes + (name.size() - length);
        bool ascii = true;
        bool same = true;
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned char byte = end[i];
            ascii = ascii && byte < 0x80;
            const unsigned char folded = byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
            same = same && folded == static_cast<unsigned char>(m_asciiEnd[i]);
        }
        if (ascii) return same;
    }
    bool ascii = true;
    for (std::size_t i = 0; i < name.size() && ascii; ++i) ascii = bytes[i] < 0x80;
    if (ascii) {
        // Most names are plain ASCII; they are matched on their bytes.
        const auto folded = [bytes](std::size_t i) -> char32_t {
            const unsigned char byte = bytes[i];
            return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
        };
        return MatchesUpTo(m_symbols.size(), folded, name.size()) ||
            (m_withoutTail < m_symbols.size() && MatchesUpTo(m_withoutTail, folded, name.size()));
    }
    m_name.clear();
    AppendFolded(name, m_name);
    const auto folded = [this](std::size_t i) { return m_name[i]; };
    return MatchesUpTo(m_symbols.size(), folded, m_name.size()) ||
        (m_withoutTail < m_symbols.size() && MatchesUpTo(m_withoutTail, folded, m_name.size()));
}

// The usual matcher with one backtracking point: on a mismatch, the last
// star takes one more character. Linear for masks with one star, at worst
// quadratic, and without recursion.
template <class Name>
bool TWildcardMask::MatchesUpTo(std::size_t symbolCount, const Name& name, std::size_t nameLength) const
{
    std::size_t symbol = 0;
    std::size_t position = 0;
    std::size_t starSymbol = symbolCount;
    std::size_t starPosition = 0;
    while (position < nameLength) {
        if (symbol < symbolCount && m_symbols[symbol] == kAnyRun) {
            starSymbol = symbol++;
            starPosition = position;
        } else if (symbol < symbolCount && (m_symbols[symbol] == kAnyOne || m_symbols[symbol] == name(position))) {
            ++symbol;
            ++position;
        } else if (starSymbol < symbolCount) {
            symbol = starSymbol + 1;
            position = ++starPosition;
        } else {
            return false;
        }
    }
    while (symbol < symbolCount && m_symbols[symbol] == kAnyRun) ++symbol;
    return symbol == symbolCount;
}

}  // namespace quorvane::platform::posix
