#include "os/RegistryFile.h"
#include "os/TextCase.h"

#include <algorithm>
#include <cstdio>

namespace tarnwick::os {

namespace {

constexpr std::uint32_t kSz = 1, kDword = 4;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A quoted string at `text[at]`; on success `at` stands after the closing
// quote. Inside, \\ is a backslash and \" a quote.
bool ReadQuoted(std::string_view text, std::size_t& at, std::string& out)
{
    if (at >= text.size() || text[at] != '"')
        return false;
    out.clear();
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            out += text[++i];
        } else if (c == '"') {
            at = i + 1;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

bool ReadHexList(std::string_view list, std::string& out)
{
    out.clear();
    std::size_t i = 0;
    auto skip = [&] {
        while (i < list.size() && (list[i] == ' ' || list[i] == '\t'))
            ++i;
    };
    skip();
    if (i == list.size())
        return true;
    for (;;) {
        skip();
        const int hi = i < list.size() ? HexDigit(list[i]) : -1;
        const int lo = i + 1 < list.size() ? HexDigit(list[i + 1]) : -1;
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        skip();
        if (i == list.size())
            return true;
        if (list[i] != ',')
            return false;
        ++i;
    }
}

std::string Escape(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

std::string HexList(std::string_view bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ',';
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// A text value stored as REG_SZ bytes: the text and its NUL. One without
// a NUL inside can be written as a plain quoted string.
bool IsPlainText(const RegistryValue& v)
{
    return v.type == kSz && !v.data.empty() && v.data.back() == '\0' &&
           v.data.find('\0') == v.data.size() - 1 && v.data.find('\n') == std::string::npos &&
           v.data.find('\r') == std::string::npos;
}

void FormatKey(const RegistryKey& key, const std::string& path, std::string& out)
{
    out += "\r\n[" + path + "]\r\n";
    for (const RegistryValue& v : key.values) {
        out += v.name.empty() ? std::string("@") : "\"" + Escape(v.name) + "\"";
        out += '=';
        if (IsPlainText(v)) {
            out += "\"" + Escape(std::string_view(v.data).substr(0, v.data.size() - 1)) + "\"";
        } else if (v.type == kDword && v.data.size() == 4) {
            const auto* b = reinterpret_cast<const unsigned char*>(v.data.data());
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x", unsigned(b[0] | b[1] << 8 | b[2] << 16 | unsigned(b[3]) << 24));
            out += buf;
        } else if (v.type == 3) {
            out += "hex:" + HexList(v.data);
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", unsigned(v.type));
            out += buf + HexList(v.data);
        }
        out += "\r\n";
    }
    for (const auto& sub : key.subkeys)
        FormatKey(*sub, path + "\\" + sub->name, out);
}

// One line as the parser reads it: a hex list continued over several lines
// joined into one, numbered by the line it starts on.
struct LogicalLine {
    std::size_t number;
    std::string text;
};

// Splits the text into logical lines; a line that ends in a backslash inside
// a hex value goes on in the next. False, with `unended` the number of its
// first line, when the text ends inside such a value.
bool JoinContinuedLines(std::string_view text, std::vector<LogicalLine>& lines, std::size_t& unended)
{
    std::size_t start = 0, number = 0;
    std::string pending;
    std::size_t pendingLine = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!pending.empty()) {
            const std::size_t first = line.find_first_not_of(" \t");
            line = pending + (first == std::string::npos ? std::string() : line.substr(first));
        } else {
            pendingLine = number;
        }
        if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
            line.pop_back();
            pending = line;
        } else {
            pending.clear();
            lines.push_back({pendingLine, std::move(line)});
        }
        if (end == text.size())
            break;
        start = end + 1;
    }
    unended = pendingLine;
    return pending.empty();
}

std::string_view WithoutByteOrderMark(std::string_view line)
{
    if (line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF && static_cast<unsigned char>(line[1]) == 0xBB &&
        static_cast<unsigned char>(line[2]) == 0xBF)
        line.remove_prefix(3);
    return line;
}

// A "[ROOT\path]" header: `current` becomes the key it names, made where
// missing. What is wrong with the header, or nullptr.
const char* OpenKey(std::string_view line, RegistryTree& tree, RegistryKey*& current)
{
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || line.find_first_not_of(" \t", close + 1) != std::string_view::npos)
        return "a key header without its closing bracket";
    std::string_view path = line.substr(1, close - 1);
    const std::size_t sep = path.find('\\');
    RegistryKey* root = tree.Root(path.substr(0, sep));
    if (!root)
        return "an unknown root key";
    current = root;
    while (current && sep != std::string_view::npos) {
        path.remove_prefix(path.find('\\') + 1);
        const std::size_t next = path.find('\\');
        std::string_view piece = path.substr(0, next);
        if (piece.empty())
            return "an empty key name";
        current = &current->Child(piece);
        if (next == std::string_view::npos)
            break;
    }
    return nullptr;
}

// "dword:" and eight hex digits, as the value's four bytes.
const char* ReadDword(std::string_view digits, RegistryValue& v)
{
    if (digits.size() != 8)
        return "a dword value needs eight hex digits";
    std::uint32_t x = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return "a dword value needs eight hex digits";
        x = x * 16 + static_cast<std::uint32_t>(d);
    }
    v.type = kDword;
    for (int i = 0; i < 4; ++i)
        v.data += static_cast<char>((x >> (8 * i)) & 0xFF);
    return nullptr;
}

// "hex:" (binary) or "hex(type):" and a list of bytes.
const char* ReadHex(std::string_view rest, RegistryValue& v)
{
    std::size_t colon = 3;
    v.type = 3;
    if (rest[3] == '(') {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos || close == 4 || close > 12 || close + 1 >= rest.size() ||
            rest[close + 1] != ':')
            return "a malformed hex(type) value";
        std::uint32_t t = 0;
        for (char c : rest.substr(4, close - 4)) {
            const int d = HexDigit(c);
            if (d < 0)
                return "a malformed hex(type) value";
            t = t * 16 + static_cast<std::uint32_t>(d);
        }
        v.type = t;
        colon = close + 1;
    }
    if (!ReadHexList(rest.substr(colon + 1), v.data))
        return "a malformed list of hex bytes";
    return nullptr;
}

// A `"name"=data` or `@=data` line, kept in `key` (replacing a value of
// that name); a deletion mark keeps nothing. What is wrong, or nullptr.
const char* ReadValueLine(std::string_view line, RegistryKey& key)
{
    RegistryValue v;
    std::size_t at = 0;
    if (line[0] == '@') {
        at = 1;
    } else if (!ReadQuoted(line, at, v.name)) {
        return "a value name without its closing quote";
    }
    if (at >= line.size() || line[at] != '=')
        return "a value without '='";
    const std::string_view rest = line.substr(at + 1);
    if (!rest.empty() && rest[0] == '"') {
        std::size_t q = 0;
        std::string s;
        if (!ReadQuoted(rest, q, s) || rest.find_first_not_of(" \t", q) != std::string_view::npos)
            return "a text value without its closing quote";
        v.type = kSz;
        v.data = s + '\0';
    } else if (rest.substr(0, 6) == "dword:") {
        if (const char* why = ReadDword(rest.substr(6), v))
            return why;
    } else if (rest.substr(0, 4) == "hex:" || rest.substr(0, 4) == "hex(") {
        if (const char* why = ReadHex(rest, v))
            return why;
    } else if (rest == "-") {
        return nullptr; // a deletion mark in an export: nothing to keep
    } else {
        return "a value of unknown form";
    }
    if (RegistryValue* old = key.FindValue(v.name))
        *old = std::move(v);
    else
        key.values.push_back(std::move(v));
    return nullptr;
}

} // namespace

const char* const kRegistryRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                      "HKEY_CURRENT_CONFIG"};
const std::size_t kRegistryRootCount = std::size(kRegistryRoots);

RegistryKey* RegistryKey::Find(std::string_view child) const
{
    for (const auto& k : subkeys)
        if (EqualsNoCase(k->name, child))
            return k.get();
    return nullptr;
}

RegistryKey& RegistryKey::Child(std::string_view child)
{
    if (RegistryKey* k = Find(child))
        return *k;
    subkeys.push_back(std::make_unique<RegistryKey>());
    subkeys.back()->name = std::string(child);
    return *subkeys.back();
}

RegistryValue* RegistryKey::FindValue(std::string_view value)
{
    for (RegistryValue& v : values)
        if (EqualsNoCase(v.name, value))
            return &v;
    return nullptr;
}

bool RegistryKey::RemoveChild(std::string_view child)
{
    auto it = std::find_if(subkeys.begin(), subkeys.end(), [&](const auto& k) { return EqualsNoCase(k->name, child); });
    if (it == subkeys.end())
        return false;
    subkeys.erase(it);
    return true;
}

bool RegistryKey::RemoveValue(std::string_view value)
{
    auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return EqualsNoCase(v.name, value); });
    if (it == values.end())
        return false;
    values.erase(it);
    return true;
}

RegistryTree::RegistryTree()
{
    for (std::size_t i = 0; i < kRegistryRootCount; ++i) {
        roots.emplace_back();
        roots.back().name = kRegistryRoots[i];
    }
}

RegistryKey* RegistryTree::Root(std::string_view name)
{
    for (RegistryKey& r : roots)
        if (EqualsNoCase(r.name, name))
            return &r;
    return nullptr;
}

bool ParseRegistryFile(std::string_view text, RegistryTree& tree, std::string& problem)
{
    tree = RegistryTree();
    std::size_t lineNo = 0;
    auto fail = [&](const char* what) {
        problem = "line " + std::to_string(lineNo) + ": " + what;
        tree = RegistryTree();
        return false;
    };
    std::vector<LogicalLine> lines;
    if (!JoinContinuedLines(text, lines, lineNo))
        return fail("a continued line has no end");

    RegistryKey* current = nullptr;
    bool header = false;
    for (const auto& [n, raw] : lines) {
        lineNo = n;
        std::string_view line = raw;
        if (!header) {
            line = WithoutByteOrderMark(line);
            if (line.find_first_not_of(" \t") == std::string_view::npos)
                continue;
            if (line != "REGEDIT4")
                return fail("the file does not begin with REGEDIT4");
            header = true;
            continue;
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == ';')
            continue;
        line.remove_prefix(first);
        const char* why = line[0] == '[' ? OpenKey(line, tree, current)
                          : current       ? ReadValueLine(line, *current)
                                          : "a value before the first key";
        if (why)
            return fail(why);
    }
    if (!header && !text.empty() && text.find_first_not_of(" \t\r\n") != std::string_view::npos)
        return fail("the file does not begin with REGEDIT4");
    problem.clear();
    return true;
}

std::string FormatRegistryFile(const RegistryTree& tree)
{
    std::string out = "REGEDIT4\r\n";
    for (const RegistryKey& root : tree.roots) {
        if (root.values.empty() && root.subkeys.empty())
            continue;
        FormatKey(root, root.name, out);
    }
    return out;
}

} // namespace tarnwick::os
