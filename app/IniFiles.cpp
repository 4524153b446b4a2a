#include "app/IniFiles.h"

#include "app/Messages.h"
#include "platform/Profile.h"
#include "runtime/Conversions.h"
#include "runtime/Exceptions.h"
#include "runtime/Format.h"

#include <utility>

namespace quorvane {

namespace {

// The buffer the profile service fills: one byte of it closes the text.
constexpr std::size_t kValueBufferSize = 1024;

}  // namespace

TIniFile::TIniFile(std::string fileName) : m_fileName(std::move(fileName)) {}

TIniFile::TIniFile(std::string fileName, platform::Profile& profile)
    : m_fileName(std::move(fileName)), m_profile(&profile)
{
}

platform::Profile& TIniFile::Service() const { return m_profile ? *m_profile : platform::HostProfile(); }

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    return Service().ReadString(m_fileName, section, key, defaultValue, kValueBufferSize);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!Service().WriteString(m_fileName, section, key, value)) {
        throw Exception(Format(messages::kCannotWriteSettings, {m_fileName}));
    }
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const
{
    std::string text = ReadString(section, key, "");
    // Hexadecimal values written the C way are read as the "$" form the
    // conversion knows; a lone "0x" stays and fails like any other non-number.
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'X' || text[1] == 'x')) {
        text = "$" + text.substr(2);
    }
    std::int32_t value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    WriteString(section, key, IntToStr(value));
}

std::string SettingsPathFor(std::string_view modulePath)
{
    const std::size_t mark = modulePath.find_last_of(".\\:");
    // Only a dot after the last folder separator starts an extension.
    if (mark != std::string_view::npos && modulePath[mark] == '.') {
        return std::string(modulePath.substr(0, mark)) + ".ini";
    }
    return std::string(modulePath) + ".ini";
}

}  // namespace quorvane
