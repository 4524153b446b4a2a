#include "engine/SectionNormaliser.h"

namespace quorvane {

namespace {

// Three underscores stand for a dash. The replacement holds no underscore, so
// one pass from the left gives what searching again from the start after
// every replacement would give.
void ReplaceTripleUnderscores(std::string& text)
{
    std::size_t position = text.find("___");
    while (position != std::string::npos) {
        text.replace(position, 3, " - ");
        position = text.find("___", position + 3);
    }
}

// Underscore, s, underscore stands for an apostrophe-s. The first one is found
// whatever the case of its s; every further one only where the s is already
// lower-case, because the later searches look at the text itself.
void ReplacePossessiveS(std::string& text, const platform::TextCase& textCase)
{
    std::string lowered = text;
    textCase.LowerCase(lowered);
    std::size_t position = lowered.find("_s_");
    while (position != std::string::npos) {
        text[position] = '\'';
        // Nothing before the match can match any more, so the search may go on
        // behind the apostrophe.
        position = text.find("_s_", position + 1);
    }
}

void UnderscoresToSpaces(std::string& text)
{
    for (char& c : text) {
        if (c == '_') c = ' ';
    }
}

// A word starts at the beginning and after a space, an opening parenthesis or
// a hyphen; these are single bytes in every encoding the program meets, so
// the character behind one starts at the next byte.
void CapitaliseWordStarts(std::string& text, const platform::TextCase& textCase)
{
    textCase.LowerCase(text);
    textCase.UpperCaseCharAt(text, 0);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '(' || c == '-') textCase.UpperCaseCharAt(text, i + 1);
    }
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Trims spaces and control characters at both ends and shrinks every run of
// spaces inside to one; tabs inside stay. Bytes of 0x80 and above are letters
// of the text, never blanks.
void EqualiseSpaces(std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;

    std::size_t out = 0;
    for (std::size_t in = begin; in < end; ++in) {
        if (text[in] == ' ' && out > 0 && text[out - 1] == ' ') continue;
        text[out++] = text[in];
    }
    text.resize(out);
}

}  // namespace

std::string NormaliseSection(std::string_view text, const NormaliseOptions& options,
                             const platform::TextCase& textCase)
{
    std::string result(text);
    if (result.empty()) return result;

    if (options.UnderscoreHandling && result.find('_') != std::string::npos) {
        ReplaceTripleUnderscores(result);
        ReplacePossessiveS(result, textCase);
        UnderscoresToSpaces(result);
    }
    if (options.CapitaliseWords) CapitaliseWordStarts(result, textCase);
    if (options.EqualiseSpaces) EqualiseSpaces(result);
    return result;
}

}  // namespace quorvane
