#include "platform/posix/IniText.h"

#include "runtime/AsciiCase.h"

#include <cstddef>

namespace quorvane::platform::posix {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsQuoted(std::string_view value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

std::string_view Unquote(std::string_view value) { return IsQuoted(value) ? value.substr(1, value.size() - 2) : value; }

// Linux folder names may begin or end with blanks, which reading would
// drop; in quotes the value reads back as it was written.
bool NeedsQuotes(std::string_view value)
{
    return !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value));
}

enum class LineKind { kOther, kSection, kKey };

// One line of the text; the views point into the text itself, so that a
// change can be made at the exact place of the name or the line end.
struct Line {
    LineKind kind = LineKind::kOther;
    std::string_view name;     // section or key name, without blanks
    std::string_view value;    // the value as written, without blanks
    std::size_t contentEnd = 0;  // where the line end ("\r\n", "\n" or nothing) starts
    std::size_t end = 0;         // past the line end
};

class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool Next(Line& line)
    {
        if (m_position >= m_text.size()) return false;
        const std::size_t begin = m_position;
        const std::size_t newline = m_text.find('\n', begin);
        line.end = newline == std::string_view::npos ? m_text.size() : newline + 1;
        line.contentEnd = line.end;
        if (newline != std::string_view::npos) {
            line.contentEnd = newline > begin && m_text[newline - 1] == '\r' ? newline - 1 : newline;
        }
        m_position = line.end;

        std::string_view content = m_text.substr(begin, line.contentEnd - begin);
        if (begin == 0 && content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
        Classify(content, line);
        return true;
    }

private:
    static void Classify(std::string_view content, Line& line)
    {
        line.kind = LineKind::kOther;
        line.name = {};
        line.value = {};
        while (!content.empty() && IsBlank(content.front())) content.remove_prefix(1);
        if (content.empty() || content.front() == ';') return;
        if (content.front() == '[') {
            // An unclosed bracket still ends the section above, so that its
            // lines are never taken for keys of the wrong section.
            content.remove_prefix(1);
            line.kind = LineKind::kSection;
            line.name = Trim(content.substr(0, content.find(']')));
            return;
        }
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos) return;
        line.kind = LineKind::kKey;
        line.name = Trim(content.substr(0, equals));
        line.value = Trim(content.substr(equals + 1));
    }

    std::string_view m_text;
    std::size_t m_position = 0;
};

// Where a key stands, or where a new key of the section would go.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;             // valid when keyFound
    std::size_t insertAt = 0;  // past the section's last key line (or its header)
};

KeyPlace Locate(std::string_view text, std::string_view section, std::string_view key)
{
    KeyPlace place;
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
        if (line.kind == LineKind::kSection) {
            // Only the first section of a name counts, for reading and writing alike.
            if (place.sectionFound) break;
            if (SameIgnoringAsciiCase(line.name, section)) {
                place.sectionFound = true;
                place.insertAt = line.end;
            }
        } else if (place.sectionFound && line.kind == LineKind::kKey) {
            if (SameIgnoringAsciiCase(line.name, key)) {
                place.keyFound = true;
                place.keyLine = line;
                break;
            }
            place.insertAt = line.end;
        }
    }
    return place;
}

bool HoldsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

std::string_view NewlineOf(std::string_view text)
{
    const std::size_t newline = text.find('\n');
    return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section, std::string_view key)
{
    const KeyPlace place = Locate(text, Trim(section), Trim(key));
    if (!place.keyFound) return std::nullopt;
    return std::string(Unquote(place.keyLine.value));
}

std::optional<std::string> SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                                       std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || HoldsLineBreak(section) || section.find(']') != std::string_view::npos) {
        return std::nullopt;
    }
    if (key.empty() || HoldsLineBreak(key) || key.find('=') != std::string_view::npos || key.front() == '[' ||
        key.front() == ';') {
        return std::nullopt;
    }
    value = value.substr(0, value.find_first_of("\r\n"));
    const std::string written = NeedsQuotes(value) ? "\"" + std::string(value) + "\"" : std::string(value);

    const std::string_view newline = NewlineOf(text);
    const KeyPlace place = Locate(text, section, key);
    std::string result;
    result.reserve(text.size() + section.size() + key.size() + written.size() + 8);

    if (place.keyFound) {
        // The name keeps its place and spelling; only what follows it changes.
        const auto nameAt = static_cast<std::size_t>(place.keyLine.name.data() - text.data());
        result.append(text.substr(0, nameAt + place.keyLine.name.size()));
        result.append("=").append(written);
        result.append(text.substr(place.keyLine.contentEnd));
        return result;
    }

    if (place.sectionFound) {
        result.append(text.substr(0, place.insertAt));
        if (place.insertAt > 0 && text[place.insertAt - 1] != '\n') result.append(newline);
        result.append(key).append("=").append(written).append(newline);
        result.append(text.substr(place.insertAt));
        return result;
    }

    result.append(text);
    if (!text.empty() && text.back() != '\n') result.append(newline);
    result.append("[").append(section).append("]").append(newline);
    result.append(key).append("=").append(written).append(newline);
    return result;
}

}  // namespace quorvane::platform::posix
