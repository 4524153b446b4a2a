#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The private-profile service on INI files named by Unix paths; the text
// rules are those of IniText.h. The posix profile backend puts the
// drive-letter name space in front of it.
namespace quorvane::platform::posix {

// The value of `key` in `section` of the file, or the default (without its
// trailing spaces) when the file cannot be read or holds no such key; at
// most `bufferSize` - 1 bytes of it. Only a regular file of at most 4 MB is
// read; anything else in its place reads as if it could not be read.
std::string ReadProfileFileString(const std::string& unixPath, std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::size_t bufferSize);

// True when the file is missing (a link that points nowhere included) or
// is a regular file the two calls here can read: not a named pipe, a folder,
// a device or a file larger than 4 MB.
bool IsUsableProfileFile(const std::string& unixPath);

// What a read delivers when there is nothing to read: the default, cut as a value would be.
std::string ProfileDefault(std::string_view defaultValue, std::size_t bufferSize);

// Sets the value and writes the whole file anew: into a temporary file
// beside it, which then takes the old file's place, so that a crash or a full
// disk leaves either the old or the new file, never a part of one. The new
// file keeps the old one's permissions (and owner, where the system allows).
// A symbolic link stays in place and its target is replaced, or created
// where the link points nowhere yet. False, with the file untouched, when it
// exists but cannot be read or written, its folder is missing or cannot be
// written, its links loop, or the names cannot be written (IniText.h).
bool WriteProfileFileString(const std::string& unixPath, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace quorvane::platform::posix
