#pragma once
// Where the game keeps its volumes on a drive of a Wine prefix, so that an
// installed copy can start there rather than in a folder with none.
#include <string>
#include <vector>

namespace tarnwick::os {

// The first folder found on one of `drives` (their c: drives, say), breadth
// first down to three levels below the drive ("Program Files
// (x86)/Dynamix/Tribes"), that is a Tribes folder in a Dynamix folder or
// holds a base folder with volumes (*.vol): that base folder when it holds
// volumes, else the Tribes folder. Names are matched without regard to
// case, as Windows does. The drive's own windows folder is passed over.
// The search reads at most a few hundred folders, and at most a few
// thousand names of each, so a huge drive or one that links back into
// itself costs a start no more than a glance. "" when none is found.
std::string FindGameFolder(const std::vector<std::string>& drives);

} // namespace tarnwick::os
