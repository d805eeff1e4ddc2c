#pragma once
// Which stored entries the names a person gives select, as tar selects
// members: `/` stands for the volume's `\`, `*` and `?` are wildcards, a
// folder selects everything below it, and letters match without regard to
// ASCII case, as the game finds its files. Names arrive as stored bytes
// (Windows-1252); the entries come back in stored order, each once.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnvol {

struct NameSelection {
    std::vector<std::size_t> chosen;    // indexes of the stored names, ascending
    std::vector<std::size_t> unmatched; // indexes of the patterns that selected nothing
};

// A pattern selects:
// - the entries whose stored name is exactly its bytes, when there are any
//   (a name as `tarnvol list -0` gives it is always taken as it is, even one
//   that holds `*`, `?` or `/`); otherwise
// - with `/` read as `\`, separators at either end and doubled ones dropped:
//   every entry whose name, or whose folder at any depth, it matches without
//   regard to ASCII case. `*` matches any run of bytes (folder separators
//   too, so `*.cs` finds scripts in every folder), `?` exactly one byte.
NameSelection SelectNames(const std::vector<std::string_view>& stored, const std::vector<std::string>& patterns);

// Whether `name` matches `pattern` (`*`, `?`; ASCII case ignored; bytes
// above 0x7F compared as they are).
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace tarnvol
