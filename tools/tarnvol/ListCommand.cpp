#include "Commands.h"
#include "ReadVolume.h"
#include "StoredNames.h"

#include "platform/os/System.h"

#include <cstdio>

namespace tarnvol {

const char* kListHelp =
    "Usage: tarnvol list [-0] VOLUME\n"
    "Prints every entry of the volume's file table, one a line, in stored order;\n"
    "an empty stored name gives an empty line. Names are shown as text (the\n"
    "volume stores them in Windows-1252), backslashes between their folders,\n"
    "and control characters escaped: \\n, \\t, \\r, otherwise \\xHH with the\n"
    "stored byte. A name never takes more than one line.\n"
    "  -0, --null  for scripts: each name exactly as stored (its bytes, not\n"
    "              converted), ended by a NUL byte instead of a newline; on a\n"
    "              terminal the names are shown as above all the same\n"
    "Exit status: 0 listed, 1 the volume could not be read (the reason on stderr),\n"
    "2 wrong command line.\n";

int RunList(const std::vector<std::string>& args)
{
    bool null = false;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (const std::string& a : args) {
        if (!optionsEnded && a == "--")
            optionsEnded = true;
        else if (!optionsEnded && (a == "-0" || a == "--null"))
            null = true;
        else if (!optionsEnded && a.size() > 1 && a[0] == '-')
            return UsageError("list", "unknown option '" + a + "'");
        else
            operands.push_back(a);
    }
    if (operands.size() != 1)
        return UsageError("list", "give exactly one VOLUME");
    const std::string& volume = operands[0];
    tarnwick::clsVOLReader reader;
    if (!ReadVolume(reader, volume))
        return 1;
    // A person reading a terminal must never have a name act on it.
    const bool raw = null && !tarnwick::os::StandardOutputIsTerminal();
    std::string out;
    out.reserve(static_cast<std::size_t>(reader.VOLS()) + 1);
    for (std::size_t i = 0; i < reader.TableSize(); ++i) {
        if (raw) {
            out += reader.TableName(i);
            out += '\0';
        } else {
            out += ShownName(reader.TableName(i));
            out += '\n';
        }
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return 1;
    return 0;
}

} // namespace tarnvol
