#pragma once
// The shell's folder picker: returns the chosen folder, "" when cancelled.
#include <string>

class QWidget;

namespace tarnwick {

// `flags` 1: only file-system folders; `rootFolder` 17: the computer's
// drives. Both are what the platform's own picker understands; the picker
// used here always offers file-system folders from the top of the disk.
std::string BrowseForFolder(QWidget* owner, const std::string& title, int flags = 1, int rootFolder = 17);

} // namespace tarnwick
