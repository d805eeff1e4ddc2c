#pragma once
// Profile strings: single keys of Windows initialization files, with the
// meaning of the Win32 calls of the same names (8-bit text).
#include <cstdint>
#include <string>

namespace tarnwick::os {

// Copies the value of `key` in `section` of `file` (or `defaultText` when the
// file, section or key is missing) into `buffer`, at most size - 1 characters
// and a NUL; returns the count copied without the NUL. Sections and keys match
// without regard to case; a value in matching double quotes loses them.
std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                      const std::string& defaultText, char* buffer,
                                      std::uint32_t size, const std::string& file);

// Stores `value` under `key` in `section` of `file`, creating file, section and
// key as needed. Everything else in the file is kept as it was. False when the
// file could not be read completely or not be replaced.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);

} // namespace tarnwick::os
