#include "platform/os/ProfileText.h"

#include <vector>

namespace tarnwick::os::profile {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

enum class Kind { Blank, Section, Key, Comment, Other };

struct Line {
    std::size_t start = 0;      // first byte of the line
    std::size_t contentEnd = 0; // before its line ending
    std::size_t end = 0;        // after its line ending
    Kind kind = Kind::Other;
    std::string_view name;  // section or key, trimmed
    std::string_view value; // key lines: trimmed value
};

std::vector<Line> Split(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t at = 0;
    // A UTF-8 byte-order mark is no part of the first line's content.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        at = 3;
    while (at < text.size()) {
        Line line;
        line.start = at;
        const auto nl = text.find('\n', at);
        line.end = nl == std::string_view::npos ? text.size() : nl + 1;
        line.contentEnd = nl == std::string_view::npos ? text.size() : nl;
        // Only a CR before the LF is part of the line ending: a lone CR at
        // the very end is content, or a key added after it would share its
        // line.
        if (nl != std::string_view::npos && line.contentEnd > line.start && text[line.contentEnd - 1] == '\r')
            --line.contentEnd;
        const std::string_view content = Trim(text.substr(line.start, line.contentEnd - line.start));
        if (content.empty()) {
            line.kind = Kind::Blank;
        } else if (content.front() == '[' && content.find(']') != std::string_view::npos) {
            line.kind = Kind::Section;
            line.name = Trim(content.substr(1, content.rfind(']') - 1));
        } else if (content.front() == ';') {
            line.kind = Kind::Comment;
        } else if (const auto eq = content.find('='); eq != std::string_view::npos) {
            line.kind = Kind::Key;
            line.name = Trim(content.substr(0, eq));
            line.value = Trim(content.substr(eq + 1));
        }
        lines.push_back(line);
        at = line.end;
    }
    return lines;
}

// The first section of that name: its header's index and the index after
// its last line; header == lines.size() when there is none.
struct Range {
    std::size_t header, end;
};

Range FindSection(const std::vector<Line>& lines, std::string_view section)
{
    const std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Kind::Section || !SameName(lines[i].name, wanted))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != Kind::Section)
            ++end;
        return {i, end};
    }
    return {lines.size(), lines.size()};
}

std::size_t FindKey(const std::vector<Line>& lines, Range r, std::string_view key)
{
    const std::string_view wanted = Trim(key);
    for (std::size_t i = r.header + 1; i < r.end; ++i)
        if (lines[i].kind == Kind::Key && SameName(lines[i].name, wanted))
            return i;
    return lines.size();
}

std::string LineEnding(std::string_view text)
{
    const auto nl = text.find('\n');
    if (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r')
        return "\r\n";
    return "\n";
}

} // namespace

std::optional<std::string> Lookup(std::string_view text, std::string_view section, std::string_view key)
{
    const auto lines = Split(text);
    const Range r = FindSection(lines, section);
    if (r.header == lines.size())
        return std::nullopt;
    const std::size_t k = FindKey(lines, r, key);
    if (k == lines.size())
        return std::nullopt;
    std::string_view v = lines[k].value;
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool CanStore(std::string_view section, std::string_view key, std::string_view value)
{
    const auto breaks = [](std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; };
    if (breaks(section) || breaks(key) || breaks(value))
        return false;
    const std::string_view s = Trim(section), k = Trim(key);
    if (s.empty() || k.empty())
        return false;
    // A key starting with "[" or ";" would read back as a header or a comment.
    if (k.find('=') != std::string_view::npos || k.front() == '[' || k.front() == ';')
        return false;
    return s.find(']') == std::string_view::npos;
}

std::string Store(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    const auto lines = Split(text);
    const std::string eol = LineEnding(text);
    const Range r = FindSection(lines, section);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (r.header == lines.size()) {
        out.assign(text);
        if (!out.empty() && out.back() != '\n')
            out += eol;
        // A blank line between sections, as Windows writes them.
        if (!lines.empty() && lines.back().kind != Kind::Blank)
            out += eol;
        out += '[';
        out += Trim(section);
        out += ']';
        out += eol;
        out += Trim(key);
        out += '=';
        out += value;
        out += eol;
        return out;
    }

    const std::size_t k = FindKey(lines, r, key);
    if (k != lines.size()) {
        const Line& line = lines[k];
        out.append(text.substr(0, line.start));
        out += line.name; // the key keeps the spelling the file gave it
        out += '=';
        out += value;
        out.append(text.substr(line.contentEnd));
        return out;
    }

    // After the section's last line that is not blank, so that the blank
    // line before the next section stays where it is.
    std::size_t last = r.header;
    for (std::size_t i = r.header + 1; i < r.end; ++i)
        if (lines[i].kind != Kind::Blank)
            last = i;
    const Line& after = lines[last];
    out.append(text.substr(0, after.end));
    if (after.end == after.contentEnd) // the file's last line, with no ending
        out += eol;
    out += Trim(key);
    out += '=';
    out += value;
    if (after.end != text.size() || after.end != after.contentEnd)
        out += eol;
    out.append(text.substr(after.end));
    return out;
}

} // namespace tarnwick::os::profile
