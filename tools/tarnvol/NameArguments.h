#pragma once
// The NAME operands and -T lists of a command, turned into the patterns the
// selection matches, and the selection told to the user: every name that
// selects nothing is named on stderr, as tar does.
#include "ReadVolume.h"

#include <cstddef>
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

struct Chosen {
    std::vector<std::size_t> entries; // indexes into the volume's entries, in stored order
    bool missing = false;             // some pattern selected nothing (told on stderr)
};

// The entries the patterns select; every pattern that selects nothing is
// told as "tarnvol COMMAND: NAME: not in the volume".
Chosen ChooseEntries(const std::string& command, tarnwick::VolumeIndex& index,
                     const std::vector<std::string>& patterns);

} // namespace tarnvol
