#pragma once
// Walking folders, for the tools that pack a folder tree.
#include <string>
#include <vector>

namespace tarnwick::os {

// The names of the entries of a folder (no "." or ".."), in no set order;
// empty when the folder cannot be read. `ok`, when given, tells which.
std::vector<std::string> ListFolder(const std::string& path, bool* ok = nullptr);

// Whether the path itself is a symbolic link, whatever it points at. A walk that follows linked folders can loop forever.
bool IsSymbolicLink(const std::string& path);

} // namespace tarnwick::os
