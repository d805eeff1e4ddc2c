#pragma once
// Stored names between a volume and a person. A volume keeps each name as
// Windows-1252 bytes, and a name may hold any byte but NUL: a newline that
// would split one name into two lines, an escape sequence that would drive
// the terminal. People read converted, escaped text; scripts get the bytes.
#include <string>
#include <string_view>

namespace tarnvol {

// The name as UTF-8 text with every control character escaped (\n, \t, \r,
// otherwise \xHH with the stored byte); backslashes between folders stay.
std::string ShownName(std::string_view stored);

// A message that quotes names and paths side by side: control characters
// are escaped, every other byte goes out as it is.
std::string ShownMessage(std::string_view text);

// The stored bytes of a NAME typed on the command line: UTF-8 text turned
// back into Windows-1252; anything else (not UTF-8, or a character the code
// page has no byte for) is taken as the bytes themselves.
std::string StoredNameOf(const std::string& typed);

} // namespace tarnvol
