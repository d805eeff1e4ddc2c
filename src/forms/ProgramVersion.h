#pragma once
// The version as the About and splash windows show it: "ß" (the program is
// still a beta) and the three numbers, UTF-8.
#include <string>

namespace tarnwick {

std::string VersionText(int major, int minor, int revision);
// This build's, from TARNWICK_VERSION_*.
std::string ProgramVersionText();

} // namespace tarnwick
