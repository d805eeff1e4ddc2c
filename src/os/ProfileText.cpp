#include "os/ProfileText.h"

#include <algorithm>
#include "os/TextCase.h"

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

enum class Kind { Blank, Section, Key, Comment, Other };

struct Line {
    std::size_t start = 0;      // first byte of the line
    std::size_t contentEnd = 0; // before its line ending
    std::size_t end = 0;        // after its line ending
    Kind kind = Kind::Other;
    std::string_view name;  // section or key, trimmed
    std::string_view value; // key lines: trimmed value
};

// The file's lines one at a time. Nothing is kept of a line once the next
// is read: a file of millions of short lines costs no more than its bytes.
// A run of blank lines comes as one Blank line (blank lines count only as
// there or not), found by a plain walk over the bytes.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text)
    {
        // A UTF-8 byte-order mark is no part of the first line's content.
        if (text.substr(0, 3) == "\xEF\xBB\xBF")
            at_ = 3;
    }

    bool Next(Line& line)
    {
        if (at_ >= text_.size())
            return false;
        line = Line{};
        line.start = at_;
        if (SkipBlankLines()) {
            line.kind = Kind::Blank;
            line.contentEnd = line.end = at_;
            return true;
        }
        const auto nl = text_.find('\n', at_);
        line.end = nl == std::string_view::npos ? text_.size() : nl + 1;
        line.contentEnd = nl == std::string_view::npos ? text_.size() : nl;
        // Only a CR before the LF is part of the line ending: a lone CR at
        // the very end is content, or a key added after it would share its
        // line.
        if (nl != std::string_view::npos && line.contentEnd > line.start && text_[line.contentEnd - 1] == '\r')
            --line.contentEnd;
        const std::string_view content = Trim(text_.substr(line.start, line.contentEnd - line.start));
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
        at_ = line.end;
        return true;
    }

private:
    // Moves past every whole line from here on that holds only blanks;
    // false when the line here holds something else.
    bool SkipBlankLines()
    {
        std::size_t p = at_, next = at_;
        for (; p < text_.size(); ++p) {
            const char c = text_[p];
            if (c == '\n')
                next = p + 1;
            else if (c != ' ' && c != '\t' && c != '\r')
                break;
        }
        if (p == text_.size()) // blank to the end, last line included
            next = p;
        if (next == at_)
            return false;
        at_ = next;
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

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
    const std::string_view wantedSection = Trim(section), wantedKey = Trim(key);
    Lines lines(text);
    Line line;
    bool inSection = false;
    while (lines.Next(line)) {
        if (line.kind == Kind::Section) {
            // Only the first section of that name counts.
            if (inSection)
                return std::nullopt;
            inSection = EqualsNoCase(line.name, wantedSection);
        } else if (inSection && line.kind == Kind::Key && EqualsNoCase(line.name, wantedKey)) {
            std::string_view v = line.value;
            if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
                v = v.substr(1, v.size() - 2);
            return std::string(v);
        }
    }
    return std::nullopt;
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

bool CanStoreAll(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values)
{
    return std::all_of(values.begin(), values.end(),
                       [section](const auto& kv) { return CanStore(section, kv.first, kv.second); });
}

Edit PlanStore(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view wantedSection = Trim(section), wantedKey = Trim(key);
    Lines lines(text);
    Line line;
    bool any = false, inSection = false, lastBlank = false;
    // The section's last line that is not blank (its header at first): a new
    // key goes after it, so that the blank line before the next section
    // stays where it is.
    Line last;
    const auto addAfterLast = [&] {
        Edit edit{last.end, {}, last.end};
        if (last.end == last.contentEnd) // the file's last line, with no ending
            edit.insert += LineEnding(text);
        edit.insert.append(Trim(key));
        edit.insert += '=';
        edit.insert.append(value);
        if (last.end != text.size() || last.end != last.contentEnd)
            edit.insert += LineEnding(text);
        return edit;
    };
    while (lines.Next(line)) {
        any = true;
        lastBlank = line.kind == Kind::Blank;
        if (line.kind == Kind::Section) {
            if (inSection)
                return addAfterLast();
            inSection = EqualsNoCase(line.name, wantedSection);
            last = line;
        } else if (inSection && line.kind == Kind::Key && EqualsNoCase(line.name, wantedKey)) {
            // The key keeps the spelling the file gave it.
            Edit edit{line.start, std::string(line.name), line.contentEnd};
            edit.insert += '=';
            edit.insert.append(value);
            return edit;
        } else if (inSection && line.kind != Kind::Blank) {
            last = line;
        }
    }
    if (inSection)
        return addAfterLast();

    // No such section: it goes at the end.
    const std::string eol = LineEnding(text);
    Edit edit{text.size(), {}, text.size()};
    if (!text.empty() && text.back() != '\n')
        edit.insert += eol;
    // A blank line between sections, as Windows writes them.
    if (any && !lastBlank)
        edit.insert += eol;
    edit.insert += '[';
    edit.insert.append(wantedSection);
    edit.insert += ']';
    edit.insert += eol;
    edit.insert.append(wantedKey);
    edit.insert += '=';
    edit.insert.append(value);
    edit.insert += eol;
    return edit;
}

bool Changes(std::string_view text, const Edit& edit)
{
    return text.substr(edit.keep, edit.resume - edit.keep) != edit.insert;
}

std::string Store(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    const Edit edit = PlanStore(text, section, key, value);
    std::string out;
    out.reserve(edit.keep + edit.insert.size() + (text.size() - edit.resume));
    out.append(text.substr(0, edit.keep));
    out += edit.insert;
    out.append(text.substr(edit.resume));
    return out;
}

} // namespace tarnwick::os::profile
