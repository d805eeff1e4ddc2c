#pragma once
// The reader as list and info use it: its errors go to stderr.
#include "volume/clsVOLReader.h"

#include <string>

namespace tarnvol {

// Lists the volume; false (the reader's message on stderr) when it fails.
bool ReadVolume(tarnwick::clsVOLReader& reader, const std::string& path);

} // namespace tarnvol
