#pragma once

#include "platform/TextCase.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::testing {

// A text service with fixed rules, so that tests give the same answers on
// every machine and in every locale. It knows the ASCII letters and the
// Latin-1 letters in UTF-8 (bytes C3 80..C3 9E upper case, C3 A0..C3 BE lower
// case, without the multiplication and division signs): umlauts change case,
// "ß" and "ÿ" stay, and every other byte, invalid UTF-8 included, is left as
// it is. Comparisons ignoring case compare the lower-cased bytes; with case
// they compare the bytes.
class FakeTextCase final : public platform::TextCase {
public:
    void LowerCase(std::string& text) const override;
    void UpperCaseCharAt(std::string& text, std::size_t index) const override;
    int CompareIgnoreCase(std::string_view a, std::string_view b) const override;
    int Compare(std::string_view a, std::string_view b) const override;
    std::string IgnoreCaseKey(std::string_view text) const override;

    // How often each operation was asked from outside, for tests that count work.
    mutable std::size_t LowerCaseCalls = 0;
    mutable std::size_t UpperCaseCalls = 0;
    mutable std::size_t CompareIgnoreCaseCalls = 0;
    mutable std::size_t KeyCalls = 0;
};

}  // namespace quorvane::testing
