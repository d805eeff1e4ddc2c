#pragma once
// The NAME operands and -T lists of a command, turned into the patterns the
// selection matches, and the selection told to the user: every name that
// selects nothing is named on stderr, as tar does.
#include "ReadVolume.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnvol {

// The patterns, as stored bytes: each typed NAME (UTF-8 text turned back
// into Windows-1252), then the names of each list in `lists` ("-" is
// standard input): one a line (a closing carriage return and empty lines
// dropped, text as typed), or with `nul` separated by NUL bytes and taken
// as the stored bytes themselves, as `tarnvol list -0` writes them.
// Nothing (the reason on stderr) when a list cannot be read.
std::optional<std::vector<std::string>> GatherNames(const std::string& command, const std::vector<std::string>& typed,
                                                    const std::vector<std::string>& lists, bool nul);

// Hands the entries the patterns select to `take`, in stored order, until it
// returns false; every entry when `all`. Every pattern that selects nothing
// is told as "tarnvol COMMAND: NAME: not in the volume", and sets `missing`.
// False when the index cannot be read (told on stderr).
bool ForEachChosen(const std::string& command, VolumeFile& file, const std::vector<std::string>& patterns, bool all,
                   const std::function<bool(StoredEntry&)>& take, bool& missing);

// Hands every entry to `visit` in stored order, with whether the patterns
// select it, until it returns false. Only after a whole walk is every pattern
// that selected nothing told, as ForEachChosen tells it, setting `missing`.
// False when the walk was stopped or the index cannot be read (told on stderr).
bool ForEachEntry(const std::string& command, VolumeFile& file, const std::vector<std::string>& patterns,
                  const std::function<bool(StoredEntry&, bool chosen)>& visit, bool& missing);

} // namespace tarnvol
