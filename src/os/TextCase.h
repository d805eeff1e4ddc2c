#pragma once
// Case without regard to the code page: names are single-byte text in
// whatever code page made them, so only the ASCII letters have a case that
// every volume, disk and the game agree on. Every byte above 0x7F stays.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

constexpr char FoldCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr unsigned char FoldCase(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Eight bytes folded at once, as FoldCase folds each; the bytes may sit in
// the word in either order. The list's sort and the volume lookup fold a
// word per step: a byte at a time was most of their time.
constexpr std::uint64_t FoldWord(std::uint64_t x)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    // Each byte's low seven bits plus an offset sets its top bit exactly
    // when the byte is at least the letter; no carry crosses into the next.
    const std::uint64_t low = x & ~kHigh;
    const std::uint64_t fromA = low + (0x80 - 'A') * kOnes;     // top bit: byte >= 'A'
    const std::uint64_t pastZ = low + (0x80 - 'Z' - 1) * kOnes; // top bit: byte > 'Z'
    const std::uint64_t upper = fromA & ~pastZ & ~x & kHigh;
    return x | (upper >> 2); // 0x80 >> 2 is the 0x20 between a capital and its small letter
}

std::string ToLower(std::string_view text);
std::string ToUpper(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace tarnwick
