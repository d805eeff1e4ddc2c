#include "StoredNames.h"

#include "os/AnsiText.h"

namespace tarnvol {

namespace {

// The bytes the code page leaves undefined convert to the C1 control
// characters of the same number; a terminal may act on those too.
bool IsControl(unsigned char b)
{
    return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

void AppendEscaped(std::string& out, unsigned char b)
{
    switch (b) {
    case '\n': out += "\\n"; return;
    case '\t': out += "\\t"; return;
    case '\r': out += "\\r"; return;
    default: break;
    }
    const char* digits = "0123456789abcdef";
    out += "\\x";
    out += digits[b >> 4];
    out += digits[b & 0x0F];
}

} // namespace

std::string ShownName(std::string_view stored)
{
    std::string out;
    out.reserve(stored.size() + 8);
    std::size_t run = 0; // start of the bytes not converted yet
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const auto b = static_cast<unsigned char>(stored[i]);
        if (!IsControl(b))
            continue;
        out += tarnwick::AnsiToUtf8(stored.substr(run, i - run));
        AppendEscaped(out, b);
        run = i + 1;
    }
    out += tarnwick::AnsiToUtf8(stored.substr(run));
    return out;
}

std::string ShownMessage(std::string_view text)
{
    // The message is no one text: a destination typed as UTF-8 beside a
    // name's Windows-1252 bytes. Whole UTF-8 characters from U+00A0 up go
    // out as they are; C0 and C1 controls, in either form, and any byte a
    // Latin-1 terminal would read as a C1 control are escaped.
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
        if (length > 1) {
            bool whole = i + length <= text.size();
            for (std::size_t k = 1; whole && k < length; ++k)
                whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            const bool c1 = lead == 0xC2 && whole && static_cast<unsigned char>(text[i + 1]) < 0xA0;
            if (whole && !c1) {
                out.append(text, i, length);
                i += length;
                continue;
            }
            length = c1 ? 2 : 1;
        }
        for (std::size_t k = 0; k < length; ++k, ++i) {
            const auto b = static_cast<unsigned char>(text[i]);
            if (b < 0x20 || (b >= 0x7F && b < 0xA0) || length == 2)
                AppendEscaped(out, b);
            else
                out += text[i];
        }
    }
    return out;
}

std::string StoredNameOf(const std::string& typed)
{
    return tarnwick::Utf8ToAnsi(typed).value_or(typed);
}

} // namespace tarnvol
