// Portable: built on the one-folder call of each system.
#include "os/Files.h"

namespace tarnwick::os {

bool CreateFolderTree(const std::string& folder)
{
    if (folder.empty() || IsPlainFolder(folder))
        return true;
    const std::size_t last = folder.find_last_of("/\\");
    if (last != std::string::npos && last > 0 && !CreateFolderTree(folder.substr(0, last)))
        return false;
    return CreateFolder(folder) || IsPlainFolder(folder);
}

} // namespace tarnwick::os
