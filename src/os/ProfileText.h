#pragma once
// The text of an initialization file, read and edited the way the Windows
// profile-string calls do, for the systems that have no such calls. Works on
// the file's bytes only; the caller reads and replaces the file. Every call
// is one pass over the text and keeps nothing per line.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick::os::profile {

// The value of `key` in the first section named `section` (both without
// regard to case or surrounding blanks), trimmed, and without one pair of
// matching quotes around it; nothing when the section or the key is missing.
std::optional<std::string> Lookup(std::string_view text, std::string_view section, std::string_view key);

// Names and values that cannot stand in the file as given: a line break
// anywhere, an empty name, "=" in a key or "]" in a section name (it would
// read back as something else).
bool CanStore(std::string_view section, std::string_view key, std::string_view value);
// CanStore for every key and value of one write.
bool CanStoreAll(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values);

// One change of a text: the bytes before `keep`, then `insert`, then the
// bytes from `resume` on. A caller can write it out in those three pieces
// without a second copy of a large file.
struct Edit {
    std::size_t keep = 0;
    std::string insert;
    std::size_t resume = 0;
};

// The edit that stores `key=value` in `section`: an existing line of the key
// replaced, else the key added after the section's last line, else the
// section added at the end. Every other byte stays as it was; new lines get
// the file's own line ending ("\n" for a file that has none yet).
Edit PlanStore(std::string_view text, std::string_view section, std::string_view key, std::string_view value);
// False when the edit would leave the text as it is.
bool Changes(std::string_view text, const Edit& edit);

// `text` with the edit of PlanStore applied.
std::string Store(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

} // namespace tarnwick::os::profile
