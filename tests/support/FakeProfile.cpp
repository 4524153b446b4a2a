#include "tests/support/FakeProfile.h"

namespace quorvane::testing {

namespace {

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace

FakeProfile::Address FakeProfile::AddressOf(std::string_view fileName, std::string_view section, std::string_view key)
{
    return {std::string(fileName), AsciiLower(section), AsciiLower(key)};
}

std::string FakeProfile::ReadString(std::string_view fileName, std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferSize)
{
    m_calls.push_back("read " + std::string(section) + "/" + std::string(key));
    const auto found = m_values.find(AddressOf(fileName, section, key));
    const std::string_view value = found == m_values.end() ? defaultValue : std::string_view(found->second);
    return bufferSize == 0 ? std::string() : std::string(value.substr(0, bufferSize - 1));
}

bool FakeProfile::WriteString(std::string_view fileName, std::string_view section, std::string_view key,
                              std::string_view value)
{
    m_calls.push_back("write " + std::string(section) + "/" + std::string(key) + "=" + std::string(value));
    if (!m_writable) return false;
    m_values[AddressOf(fileName, section, key)] = std::string(value);
    return true;
}

void FakeProfile::Set(std::string_view fileName, std::string_view section, std::string_view key,
                      std::string_view value)
{
    m_values[AddressOf(fileName, section, key)] = std::string(value);
}

std::optional<std::string> FakeProfile::Value(std::string_view fileName, std::string_view section,
                                              std::string_view key) const
{
    const auto found = m_values.find(AddressOf(fileName, section, key));
    if (found == m_values.end()) return std::nullopt;
    return found->second;
}

}  // namespace quorvane::testing
