#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::platform {

// Locale-aware case handling of the platform's narrow text (the ANSI code
// page on Windows, UTF-8 bytes on Linux). Case changes never change the byte
// length, so positions found in a lower-cased copy stay valid in the original.
class TextCase {
public:
    virtual ~TextCase() = default;

    // Lower-cases the whole text in place.
    virtual void LowerCase(std::string& text) const = 0;

    // Upper-cases the one character that starts at byte position `index`
    // (0-based); a position inside a character or past the end changes nothing.
    virtual void UpperCaseCharAt(std::string& text, std::size_t index) const = 0;

    // The user's locale comparison, ignoring case: negative, 0 or positive.
    virtual int CompareIgnoreCase(std::string_view a, std::string_view b) const = 0;

    // The user's locale comparison, with case: negative, 0 or positive.
    virtual int Compare(std::string_view a, std::string_view b) const = 0;

    // A key whose equality matches CompareIgnoreCase(a, b) == 0, so that sets
    // of names can be hashed instead of scanned. Only equality means
    // something: keys are not ordered as the comparison orders texts.
    virtual std::string IgnoreCaseKey(std::string_view text) const = 0;
};

// The text service of this system, or the one a test put in its place.
const TextCase& HostTextCase();

// The real backend of this operating system.
const TextCase& NativeTextCase();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
const TextCase* ReplaceHostTextCase(const TextCase* replacement);

}  // namespace quorvane::platform
