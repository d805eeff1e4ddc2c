#pragma once
// The files on disk that pack and add store: the command line they share
// (-C DIR, the VOLUME, the FILEs), and the FILEs turned into stored names by
// one set of rules, so that both commands name, refuse and order files
// alike and write the same bytes for the same files.
#include <optional>
#include <string>
#include <vector>

namespace tarnvol {

struct DiskFile {
    std::string name;   // as stored, backslashes between folders
    std::string source; // where the bytes come from
};

// What "COMMAND [-C DIR] VOLUME FILE..." asks for.
struct FilesLine {
    std::optional<std::string> dir; // -C
    std::string volume;
    std::vector<std::string> operands; // the FILEs
};

// The command line taken apart; nothing, after the usage message has gone
// out, when it is wrong. `volumeWord` is how the help names the volume.
std::optional<FilesLine> ParseFilesLine(const std::string& command, const std::string& volumeWord,
                                        const std::vector<std::string>& args);

// Every file the FILEs name, in the order given, a folder's files in name
// order below it, each with its stored name. The volume itself is left out
// when it lies among them. Nothing, with "tarnvol COMMAND:" and the reason
// on stderr, when a FILE is refused: it is missing, it leads outside DIR by
// its name or through a link, it is too long for a block, or two of them
// would be stored under one name (compared without regard to ASCII case).
std::optional<std::vector<DiskFile>> GatherDiskFiles(const std::string& command, const FilesLine& line);

} // namespace tarnvol
