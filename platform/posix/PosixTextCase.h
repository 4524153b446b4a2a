#pragma once

#include "platform/TextCase.h"

#include <memory>
#include <string>

namespace quorvane::platform::posix {

// The locale whose collation orders and compares names: the first of
// LC_ALL, LC_COLLATE and LANG that is set and not empty, without its
// encoding and modifier ("de_DE.UTF-8@euro" gives "de_DE"). The empty text,
// ICU's root collation, when none is set or the choice is "C" or "POSIX".
std::string CollationLocaleName(const char* lcAll, const char* lcCollate, const char* lang);

// The text rules of the collation of `locale` (a name as CollationLocaleName
// gives it); the program itself uses the user's, NativeTextCase.
std::unique_ptr<TextCase> MakeTextCase(std::string locale);

// Whether ICU's root collation has a contraction made of ASCII characters
// alone; the keys of plain ASCII names count on it having none.
bool RootHasAsciiContractions();

}  // namespace quorvane::platform::posix
