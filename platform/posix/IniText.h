#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of an INI file, read and changed one value at a time the way the
// private-profile service of Windows does it, so that a settings file behaves
// the same on both systems and stays readable and editable by hand.
//
// A line "[name]" opens a section; "key=value" lines belong to the section
// above them; lines before the first section, lines starting with ";" and
// lines without "=" are kept but never read. Section and key names match when
// they differ only in the case of the ASCII letters A to Z: the names
// belong to the program, not to the user, and the same file must read the
// same under every locale. Blanks (space, tab and the other ASCII white-space
// codes) around names and values are not part of them; a value enclosed in a
// pair of matching quotes (' or ") is read without them. Lines end with LF
// or CR LF; a byte-order mark at the start of the file is skipped. Any other
// byte, even a zero, is text.
namespace quorvane::platform::posix {

// The value of `key` in the first section named `section`, taken from the
// first line of that key; nothing when the section or the key is missing.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section, std::string_view key);

// `text` with `key` in `section` set to `value`. An existing key line is
// replaced where it stands and keeps the spelling of its name; a missing key
// goes after the last key of its section; a missing section is added at the
// end. Every other byte stays as it was, and new lines end as the file's
// first line does (LF in a file without line ends). A value is cut at its
// first line break, which a line of its own could not hold; a value with
// blanks at an end, or already in quotes, is written in double quotes, so
// that it reads back unchanged. Nothing when the
// names cannot be written as a section line and a key line (empty, holding a
// line break, a "]" in the section or a "=" in the key, a key starting with
// "[" or ";").
std::optional<std::string> SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                                       std::string_view value);

}  // namespace quorvane::platform::posix
