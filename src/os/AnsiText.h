#pragma once
// Names stored in a volume are single-byte text in the Windows ANSI code
// page (1252 on the machines players use). They travel as bytes; only what a
// person reads, and a file name on a disk that speaks UTF-8, is converted.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Windows-1252 bytes as UTF-8 text. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, as Windows itself converts them, so that no two names
// ever convert to the same text.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 text back to Windows-1252 bytes; nothing when the text is not valid
// UTF-8 or holds a character the code page has no byte for.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text);

} // namespace tarnwick
