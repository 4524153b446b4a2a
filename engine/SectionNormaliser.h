#pragma once

#include "platform/TextCase.h"

#include <string>
#include <string_view>

namespace quorvane {

// The three cleaning switches of the main window.
struct NormaliseOptions {
    bool UnderscoreHandling = true;
    bool CapitaliseWords = true;
    bool EqualiseSpaces = true;
};

// Cleans one section of a file name (or the whole base name): underscores
// become spaces, dashes and apostrophes, words start with a capital letter,
// surplus blanks go. Never fails; the empty text comes back unchanged.
std::string NormaliseSection(std::string_view text, const NormaliseOptions& options,
                             const platform::TextCase& textCase = platform::HostTextCase());

}  // namespace quorvane
