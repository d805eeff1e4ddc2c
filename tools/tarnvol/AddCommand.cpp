// tarnvol add: stores files in a volume, as 7z a and tar -r do, replacing a
// name already stored where it stands.
#include "Commands.h"
#include "DiskFiles.h"
#include "StoredNames.h"
#include "VolumeEdit.h"

#include "os/Files.h"
#include "os/TextCase.h"

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnvol {

const char* kAddHelp =
    "Usage: tarnvol add [-C DIR] VOLUME FILE...\n"
    "Stores the given files in the volume, as is (method 0), and makes the\n"
    "volume when there is none. A FILE that is a folder adds every file below\n"
    "it, in name order; linked folders inside it are skipped.\n"
    "  -C, --directory=DIR  take each FILE relative to DIR (default: the current\n"
    "          folder); it may stand anywhere on the line, once\n"
    "Each file is stored under the name 'tarnvol pack' gives it. A name the\n"
    "volume holds already (compared without regard to case, as the game does)\n"
    "is replaced where it stands, and takes the new file's spelling; the other\n"
    "files are appended in the order given. Every other entry keeps its bytes,\n"
    "its method and its place. What pack refuses is refused, and so is a volume\n"
    "whose directory is damaged: nothing is written then. The new volume\n"
    "replaces VOLUME only once it is written completely.\n"
    "Exit status: 0 written, 1 it could not be written (the reason on stderr),\n"
    "2 wrong command line.\n";

namespace {

// The files the volume holds already take their entries' places; a name
// stored twice (as the game compares them) keeps only its first entry, now
// the new file: a later one would still hand out the old bytes to a lookup
// that prefers its spelling. The rest go after.
bool Merge(VolumeEdit& edit, const std::vector<DiskFile>& files)
{
    std::unordered_map<std::string, std::size_t> byName; // folded name to its file
    for (std::size_t i = 0; i < files.size(); ++i)
        byName.emplace(tarnwick::ToLower(files[i].name), i);
    std::vector<char> placed(files.size(), 0);
    const bool walked = edit.File().ForEach([&](StoredEntry& e) {
        const auto it = byName.find(tarnwick::ToLower(e.name));
        if (it == byName.end())
            return edit.Keep(e);
        if (!placed[it->second]) {
            placed[it->second] = 1;
            edit.Append(files[it->second].name, files[it->second].source);
        }
        return true;
    });
    // ForEach ends early, and still says true, when Keep refused an entry.
    if (!walked || edit.Failed())
        return false;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!placed[i])
            edit.Append(files[i].name, files[i].source);
    return true;
}

} // namespace

int RunAdd(const std::vector<std::string>& args)
{
    const auto line = ParseFilesLine("add", "VOLUME", args);
    if (!line)
        return 2;
    const std::string& volume = line->volume;
    VolumeEdit edit("add", volume);
    // Anything but a plain file under the name is not a volume to grow, nor
    // one to put a new volume in the place of.
    const bool exists = tarnwick::os::IsPlainFile(volume);
    if (!exists && (tarnwick::os::PlainExists(volume) || tarnwick::os::IsSpecialFile(volume))) {
        std::fprintf(stderr, "tarnvol add: %s is not a plain file\n", ShownMessage(volume).c_str());
        return 1;
    }
    const auto files = GatherDiskFiles("add", *line);
    if (!files)
        return 1;
    if (files->empty()) {
        std::fputs("tarnvol add: no files to add\n", stderr);
        return 1;
    }
    if (exists) {
        if (!edit.Open() || !Merge(edit, *files))
            return 1;
    } else {
        for (const DiskFile& f : *files)
            edit.Append(f.name, f.source);
    }
    return edit.Write();
}

} // namespace tarnvol
