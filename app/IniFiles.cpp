#include "app/IniFiles.h"

#include "app/Messages.h"
#include "platform/Profile.h"
#include "platform/SettingsFolders.h"
#include "runtime/Conversions.h"
#include "runtime/Exceptions.h"
#include "runtime/Format.h"

#include <utility>

namespace quorvane {

namespace {

// The buffer the profile service fills: one byte of it closes the text.
constexpr std::size_t kValueBufferSize = 1024;

// The name of the user's settings folder, which is also the program's name.
constexpr std::string_view kProgramFolder = "quorvane";

// Where the file name of a path begins: after its last "\" or ":".
std::size_t FileNameStart(std::string_view path)
{
    const std::size_t mark = path.find_last_of("\\:");
    return mark == std::string_view::npos ? 0 : mark + 1;
}

// The folder part of a path: "C:\a" for "C:\a\b.ini", the root "C:\" for
// "C:\b.ini", and "C:" (the drive's current folder) for "C:b.ini".
std::string_view FolderOf(std::string_view path)
{
    std::size_t end = FileNameStart(path);
    if (end >= 2 && path[end - 1] == '\\' && path[end - 2] != ':') --end;
    return path.substr(0, end);
}

// A settings file in the user's own folder is the one place where the
// program makes a folder: the first write creates it, so a user who only
// looks at the program leaves nothing behind.
bool CreateUserSettingsFolderOf(std::string_view fileName)
{
    platform::SettingsFolders& folders = platform::HostSettingsFolders();
    const std::string userFolder = folders.UserSettingsFolder(kProgramFolder);
    return !userFolder.empty() && FolderOf(fileName) == userFolder && folders.CreateFolder(userFolder);
}

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
    if (Service().WriteString(m_fileName, section, key, value)) return;
    if (!CreateUserSettingsFolderOf(m_fileName) || !Service().WriteString(m_fileName, section, key, value)) {
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

std::string SettingsFileFor(std::string_view modulePath)
{
    const std::string besideExecutable = SettingsPathFor(modulePath);
    platform::SettingsFolders& folders = platform::HostSettingsFolders();
    if (folders.CanWriteFolder(FolderOf(besideExecutable)) && folders.CanUseFile(besideExecutable)) {
        return besideExecutable;
    }
    const std::string userFolder = folders.UserSettingsFolder(kProgramFolder);
    // Where the user has no folder of his own, the file stays beside the
    // executable and a write reports that it failed, as it always did.
    if (userFolder.empty()) return besideExecutable;
    const std::string_view fileName = std::string_view(besideExecutable).substr(FileNameStart(besideExecutable));
    return userFolder + (userFolder.ends_with('\\') ? "" : "\\") + std::string(fileName);
}

}  // namespace quorvane
