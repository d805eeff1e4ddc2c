#include "Commands.h"
#include "ReadVolume.h"

#include "os/Files.h"

#include <cinttypes>
#include <cstdio>

namespace tarnvol {

const char* kInfoHelp =
    "Usage: tarnvol info VOLUME\n"
    "Prints the volume's directory values and its size in bytes:\n"
    "  PVOL: offset of the name directory\n"
    "  VOLS: length of the name block\n"
    "  VOLI: the value after the index block's tag\n"
    "  FileCount: number of entries in the file table\n"
    "  Size: length of the volume file\n"
    "'--' may stand before a VOLUME that begins with '-'.\n"
    "Exit status: 0 shown, 1 the volume could not be read (the reason on stderr),\n"
    "2 wrong command line.\n";

int RunInfo(const std::vector<std::string>& args)
{
    const auto line = ParseCommandLine("info", args, {});
    if (!line)
        return 2;
    if (line->operands.size() != 1)
        return UsageError("info", "give exactly one VOLUME");
    const std::string& volume = line->operands[0];
    tarnwick::clsVOLReader reader;
    if (!ReadVolume("info", reader, volume))
        return 1;
    auto size = tarnwick::os::FileLength(volume);
    if (!size) {
        std::fprintf(stderr, "tarnvol info: cannot learn the size of %s\n", volume.c_str());
        return 1;
    }
    std::printf("PVOL: %" PRId32 "\nVOLS: %" PRId32 "\nVOLI: %" PRId32 "\nFileCount: %" PRId32 "\nSize: %" PRId64 "\n",
                reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), *size);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace tarnvol
