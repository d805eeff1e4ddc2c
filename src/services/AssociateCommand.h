#pragma once
// The Options page's "Associate Tarnwick with *.vol (volumes)" button.
#include <string>

namespace tarnwick {

// Registers the program (its folder and its executable's name without the
// extension) as the handler of volume files: the registry layout, and on
// POSIX the desktop's handler too. "" when all of it went in; otherwise one
// message for the user saying what failed. iconPng: the program's icon as a
// PNG file's bytes, for the desktop's entry and file type.
std::string AssociateVolumes(const std::string& programFolder, const std::string& programName,
                             const std::string& iconPng = {});

} // namespace tarnwick
