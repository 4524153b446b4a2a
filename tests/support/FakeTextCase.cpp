#include "tests/support/FakeTextCase.h"

namespace quorvane::testing {

namespace {

constexpr unsigned char kLatin1Lead = 0xC3;

bool IsLatin1Upper(unsigned char second) { return second >= 0x80 && second <= 0x9E && second != 0x97; }
bool IsLatin1Lower(unsigned char second) { return second >= 0xA0 && second <= 0xBE && second != 0xB7; }

unsigned char Byte(const std::string& text, std::size_t index) { return static_cast<unsigned char>(text[index]); }

int Sign(int value) { return (value > 0) - (value < 0); }

void LowerBytes(std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = Byte(text, i);
        if (c >= 'A' && c <= 'Z') {
            text[i] = static_cast<char>(c + 32);
        } else if (c == kLatin1Lead && i + 1 < text.size() && IsLatin1Upper(Byte(text, i + 1))) {
            text[i + 1] = static_cast<char>(Byte(text, i + 1) + 0x20);
            ++i;
        }
    }
}

}  // namespace

void FakeTextCase::LowerCase(std::string& text) const
{
    ++LowerCaseCalls;
    LowerBytes(text);
}

void FakeTextCase::UpperCaseCharAt(std::string& text, std::size_t index) const
{
    ++UpperCaseCalls;
    if (index >= text.size()) return;
    const unsigned char c = Byte(text, index);
    if (c >= 'a' && c <= 'z') {
        text[index] = static_cast<char>(c - 32);
    } else if (c == kLatin1Lead && index + 1 < text.size() && IsLatin1Lower(Byte(text, index + 1))) {
        text[index + 1] = static_cast<char>(Byte(text, index + 1) - 0x20);
    }
}

int FakeTextCase::CompareIgnoreCase(std::string_view a, std::string_view b) const
{
    ++CompareIgnoreCaseCalls;
    std::string lowerA(a);
    std::string lowerB(b);
    LowerBytes(lowerA);
    LowerBytes(lowerB);
    return Sign(lowerA.compare(lowerB));
}

int FakeTextCase::Compare(std::string_view a, std::string_view b) const { return Sign(a.compare(b)); }

std::string FakeTextCase::IgnoreCaseKey(std::string_view text) const
{
    ++KeyCalls;
    std::string key(text);
    LowerBytes(key);
    return key;
}

}  // namespace quorvane::testing
