#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::platform {
class Profile;
}

namespace quorvane {

// The program's settings file: single values of an INI file, read and written
// through the system's profile service one call per value. The object keeps
// no copy of the file, so opening, creating and flushing are the service's.
class TIniFile {
public:
    // Uses the host's profile service at each call.
    explicit TIniFile(std::string fileName);

    // Uses `profile`, which must outlive the object.
    TIniFile(std::string fileName, platform::Profile& profile);

    const std::string& FileName() const { return m_fileName; }

    // The value under `key`, or `defaultValue` when the file, the section or
    // the key is missing; at most 1,023 characters.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Raises Exception "Kann nicht nach <FileName> schreiben" when the value
    // cannot be written. A file in the user's own settings folder creates
    // that folder first when it is missing.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The value as an integer, decimal or hexadecimal ("$1F", "0x1F"), or
    // `defaultValue` when it is missing or no integer.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;

    // Writes the value's decimal text.
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

private:
    platform::Profile& Service() const;

    std::string m_fileName;
    platform::Profile* m_profile = nullptr;  // nullptr: the host's service
};

// The settings file of the module at `modulePath`: its extension replaced by
// ".ini", or ".ini" appended when its file name has none.
std::string SettingsPathFor(std::string_view modulePath);

// The settings file of the executable at `modulePath` for this program run:
// the file of SettingsPathFor when the executable's folder can be written
// and nothing but a readable settings file stands under that name (a named
// pipe or a folder there would refuse every close), otherwise the file of
// the same name in the user's own settings folder
// (on Linux ~/.config/quorvane), where the system gives one. The main window
// asks once, at start, so that the program never reads from one place and
// writes to another.
std::string SettingsFileFor(std::string_view modulePath);

}  // namespace quorvane
