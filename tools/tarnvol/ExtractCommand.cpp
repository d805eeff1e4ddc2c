// PLACEHOLDER: the extract command is not written yet. The extraction job's
// owner fills RunExtract here (over clsExtract and the stand-in extractor)
// and replaces kExtractHelp with the command's real help.
#include "Commands.h"

#include <cstdio>

namespace tarnvol {

const char* kExtractHelp =
    "Usage: tarnvol extract VOLUME DEST [--flat] [--overwrite] [--extractor PATH] [NAME...]\n"
    "Extracts stored files into DEST with the stand-in extractor.\n"
    "This command is not available yet in this build.\n";

int RunExtract(const std::vector<std::string>&)
{
    std::fputs("tarnvol extract: not available yet\n", stderr);
    return 2;
}

} // namespace tarnvol
