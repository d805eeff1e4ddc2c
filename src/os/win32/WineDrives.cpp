#include "os/WineDrives.h"

namespace tarnwick::os {

// Under Windows, and under Wine itself, the drive list holds the system's
// own lettered drives: a prefix is nothing to look into from inside.
std::vector<WineDrive> UserWineDrives() { return {}; }

} // namespace tarnwick::os
