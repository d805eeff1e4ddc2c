// Placeholder until the extraction job's command lands in this file.
#include "Commands.h"

#include <cstdio>

namespace tarnvol {

const char* kExtractHelp =
    "Usage: tarnvol extract VOLUME DEST [NAME...]\n"
    "Not built yet in this version.\n";

int RunExtract(const std::vector<std::string>&)
{
    std::fputs("tarnvol extract: not built yet\n", stderr);
    return 2;
}

} // namespace tarnvol
