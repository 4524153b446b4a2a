#pragma once

#include <string>

namespace quorvane::platform::posix {

// The locale whose collation orders and compares names: the first of
// LC_ALL, LC_COLLATE and LANG that is set and not empty, without its
// encoding and modifier ("de_DE.UTF-8@euro" gives "de_DE"). The empty text,
// ICU's root collation, when none is set or the choice is "C" or "POSIX".
std::string CollationLocaleName(const char* lcAll, const char* lcCollate, const char* lang);

}  // namespace quorvane::platform::posix
