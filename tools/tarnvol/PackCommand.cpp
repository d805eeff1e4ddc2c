// tarnvol pack: writes a volume of files and folder trees, stored as is.
#include "Commands.h"
#include "DiskFiles.h"

#include "volume/VolumeWriter.h"

#include <cstdio>
#include <string>
#include <vector>

namespace tarnvol {

const char* kPackHelp =
    "Usage: tarnvol pack [-C DIR] OUTPUT.vol FILE...\n"
    "Writes a volume holding the given files, stored as is (method 0). A FILE\n"
    "that is a folder adds every file below it, in name order; linked folders\n"
    "inside it are skipped.\n"
    "  -C, --directory=DIR  take each FILE relative to DIR (default: the current\n"
    "          folder); it may stand anywhere on the line, once\n"
    "The stored name of a file is its path relative to DIR, with backslashes\n"
    "between its folders, in the game's code page (Windows-1252) where every\n"
    "character of it has a byte there. A FILE that leads outside DIR, by its\n"
    "name or through a link, is refused, and so is a name stored twice (names\n"
    "are compared without regard to case, as the game does) and a file of 16 MiB\n"
    "or more, whose length a volume's block cannot hold. Nothing is written then:\n"
    "the volume replaces OUTPUT only when it was written completely.\n"
    "Exit status: 0 written, 1 it could not be written (the reason on stderr),\n"
    "2 wrong command line.\n";

namespace {

// Writes the files gathered into the volume OUTPUT; the exit status.
int WriteVolume(const std::vector<DiskFile>& files, const std::string& output)
{
    tarnwick::VolumeWriter writer;
    for (const DiskFile& f : files) {
        if (!writer.AddFile(f.name, f.source)) {
            std::fprintf(stderr, "tarnvol pack: cannot read %s\n", f.source.c_str());
            return 1;
        }
    }
    if (!writer.Write(output)) {
        std::fprintf(stderr, "tarnvol pack: %s\n", writer.Failure().c_str());
        return 1;
    }
    return 0;
}

} // namespace

int RunPack(const std::vector<std::string>& args)
{
    const auto line = ParseFilesLine("pack", "OUTPUT", args);
    if (!line)
        return 2;
    const auto files = GatherDiskFiles("pack", *line);
    if (!files)
        return 1;
    // A volume without names has a name block of length 0, which no reader
    // takes for a sound volume.
    if (files->empty()) {
        std::fputs("tarnvol pack: no files to pack\n", stderr);
        return 1;
    }
    return WriteVolume(*files, line->volume);
}

} // namespace tarnvol
