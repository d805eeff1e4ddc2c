#include "os/AnsiText.h"

#include <cstdint>
#include <utility>

namespace tarnwick {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<unsigned char> ByteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (unsigned i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

} // namespace

std::string AnsiToUtf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (char ch : ansi) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80)
            out += ch;
        else
            AppendUtf8(out, CodePointOf(byte));
    }
    return out;
}

namespace {

// The code point of the UTF-8 sequence at `i`, and its length; nothing for a
// malformed, cut-short or overlong one.
std::optional<std::pair<char32_t, std::size_t>> Decode(std::string_view utf8, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char32_t c = 0;
    std::size_t more = 0;
    if (lead < 0x80)
        return std::pair<char32_t, std::size_t>{lead, 1};
    if ((lead & 0xE0) == 0xC0) {
        c = lead & 0x1F;
        more = 1;
    } else if ((lead & 0xF0) == 0xE0) {
        c = lead & 0x0F;
        more = 2;
    } else if ((lead & 0xF8) == 0xF0) {
        c = lead & 0x07;
        more = 3;
    } else {
        return std::nullopt;
    }
    if (i + more >= utf8.size())
        return std::nullopt;
    for (std::size_t k = 1; k <= more; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    return std::pair<char32_t, std::size_t>{c, more + 1};
}

} // namespace

bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto one = Decode(text, i);
        if (!one)
            return false;
        i += one->second;
    }
    return true;
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto one = Decode(utf8, i);
        if (!one)
            return std::nullopt;
        const auto byte = ByteOf(one->first);
        if (!byte)
            return std::nullopt;
        out += static_cast<char>(*byte);
        i += one->second;
    }
    return out;
}

} // namespace tarnwick
