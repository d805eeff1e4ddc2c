#include "Commands.h"
#include "ReadVolume.h"

#include <cstdio>

namespace tarnvol {

const char* kListHelp =
    "Usage: tarnvol list VOLUME\n"
    "Prints every entry of the volume's file table, one a line, in stored order;\n"
    "an empty stored name gives an empty line. Names are printed as stored\n"
    "(backslashes separate their folders).\n"
    "Exit status: 0 listed, 1 the volume could not be read (the reason on stderr).\n";

int RunList(const std::vector<std::string>& args)
{
    auto operands = PlainOperands("list", args);
    if (!operands)
        return 2;
    if (operands->size() != 1)
        return UsageError("list", "give exactly one VOLUME");
    const std::string& volume = (*operands)[0];
    tarnwick::clsVOLReader reader;
    if (!ReadVolume(reader, volume))
        return 1;
    std::string out;
    out.reserve(static_cast<std::size_t>(reader.VOLS()) + 1);
    for (std::size_t i = 0; i < reader.TableSize(); ++i) {
        out += reader.TableName(i);
        out += '\n';
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return 1;
    return 0;
}

} // namespace tarnvol
