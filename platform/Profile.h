#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::platform {

// The system's private-profile service: single values of an INI text file,
// one call per value, with the file named in the drive-letter name space
// (C:\Programme\Quorvane\quorvane.ini). Nothing is kept between calls, so
// every read sees what the last write left in the file.
class Profile {
public:
    virtual ~Profile() = default;

    // The value of `key` in `section` of `fileName`, blanks around it
    // removed, or `defaultValue` (without its trailing blanks) when the file,
    // the section or the key is missing. A key present with an empty value
    // gives the empty text, not the default. Section and key names match
    // regardless of the case of their letters. The result holds at most
    // `bufferSize` - 1 characters, as a buffer of that size with its closing
    // zero would.
    virtual std::string ReadString(std::string_view fileName, std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t bufferSize) = 0;

    // Writes `value` under `key` in `section` of `fileName`: an existing key
    // is replaced where it stands, a missing key, section or file is
    // created. False when the file cannot be written; the file is then as
    // it was before.
    virtual bool WriteString(std::string_view fileName, std::string_view section, std::string_view key,
                             std::string_view value) = 0;
};

// The profile service of this system, or the one a test put in its place.
Profile& HostProfile();

// The real backend of this operating system.
Profile& NativeProfile();

// Tests replace the host service; nullptr restores the real one. Returns the
// previous replacement (nullptr when there was none).
Profile* ReplaceHostProfile(Profile* replacement);

}  // namespace quorvane::platform
