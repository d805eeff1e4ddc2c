#pragma once
// The text of an initialization file, read and edited the way the Windows
// profile-string calls do, for the systems that have no such calls. Works on
// the file's bytes only; the caller reads and replaces the file.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::os::profile {

// The value of `key` in the first section named `section` (both without
// regard to case or surrounding blanks), trimmed, and without one pair of
// matching quotes around it; nothing when the section or the key is missing.
std::optional<std::string> Lookup(std::string_view text, std::string_view section, std::string_view key);

// Names and values that cannot stand in the file as given: a line break
// anywhere, an empty name, "=" in a key or "]" in a section name (it would
// read back as something else).
bool CanStore(std::string_view section, std::string_view key, std::string_view value);

// `text` with `key=value` stored in `section`: an existing line of the key
// replaced, else the key added after the section's last line, else the
// section added at the end. Every other byte stays as it was; new lines get
// the file's own line ending ("\n" for a file that has none yet).
std::string Store(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

} // namespace tarnwick::os::profile
