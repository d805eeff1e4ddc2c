#pragma once
// Profile strings: single keys of Windows initialization files, with the
// meaning of the Win32 calls of the same names (8-bit text).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::os {

// Copies the value of `key` in `section` of `file` (or `defaultText` when the
// file, section or key is missing) into `buffer`, at most size - 1 characters
// and a NUL; returns the count copied without the NUL. Sections and keys match
// without regard to case or surrounding blanks; the value is trimmed, and a
// value in matching double (or single) quotes loses them. A key that is
// there with nothing after "=" gives the empty text, not the default. What is
// no regular file (a folder, FIFO, device or socket, or a link to one) reads
// as missing, and is never opened.
std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                      const std::string& defaultText, char* buffer,
                                      std::uint32_t size, const std::string& file);

// Stores `value` under `key` in `section` of `file`, creating file, section and
// key as needed; an empty value stays as "key=". Everything else in the file
// is kept as it was. False when the file could not be read completely or not
// be replaced, and for what cannot stand in such a file: a line break in any
// of the three, an empty section or key, "=" in the key, "]" in the section.
// What is no regular file under that name is left as it is (false): a
// replacement would put a regular file in the place of a folder, FIFO,
// device or socket. A link to a regular file is written through.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);

// Stores every key=value of `values` in `section` of `file` as
// WritePrivateProfileString stores one, in one replacement of the file: a
// new file written beside it and renamed over it, so that afterwards the
// file holds all of them or, when anything failed (false), stands as it was
// to the byte. Any name or value that cannot be stored refuses the lot.
// Both systems use our own editor here: Windows' profile calls rewrite the
// file where it stands, and a full disk would cut it short.
bool WritePrivateProfileStrings(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& values,
                                const std::string& file);

} // namespace tarnwick::os
