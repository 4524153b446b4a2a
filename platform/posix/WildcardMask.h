#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::platform::posix {

// A file mask as Windows users write it, matched against Unix names: "*"
// stands for any run of characters, "?" for exactly one character (one UTF-8
// sequence, or one byte that is not UTF-8), letters match without regard to
// case ("*.MP3" finds "a.mp3", "Ä*" finds "äb"). As on Windows, a final "."
// followed by stars may also stand for the end of a name, so "*.*" matches
// every name, also one without a dot.
class TWildcardMask {
public:
    explicit TWildcardMask(std::string_view mask);

    // Not thread-safe: the mask reuses one buffer for the names it reads.
    bool Matches(std::string_view name) const;

private:
    // Whether the first `symbolCount` symbols match the whole name, whose
    // case-folded character i is name(i).
    template <class Name>
    bool MatchesUpTo(std::size_t symbolCount, const Name& name, std::size_t nameLength) const;

    std::vector<char32_t> m_symbols;  // case-folded characters and the two wildcards
    std::size_t m_withoutTail;        // the symbols before an optional ".*" tail
    bool m_matchesAll = false;
    // For the common mask of one star and a plain ASCII end ("*.mp3"): that
    // end, lower-cased; empty for every other mask.
    std::string m_asciiEnd;
    mutable std::vector<char32_t> m_name;
};

}  // namespace quorvane::platform::posix
