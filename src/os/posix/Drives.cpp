#include "os/Drives.h"
#include "os/PathStyle.h"

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace tarnwick::os {

std::vector<std::string> DriveRoots()
{
    std::ifstream in("/proc/mounts");
    if (!in)
        return {"/"};
    std::ostringstream text;
    text << in.rdbuf();
    return DriveRootsFromMountTable(text.str());
}

std::optional<FolderEntries> ListFolderEntries(const std::string& folder, std::size_t maxNames)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    FolderEntries out;
    std::size_t read = 0;
    while (read < maxNames) {
        dirent* e = ::readdir(dir);
        if (!e)
            break;
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        ++read;
        // Follow links, as the user sees the target; devices and FIFOs are
        // left out like the system files they stand for.
        struct stat st {};
        if (::stat(JoinPath(folder, name, PathStyle::Posix).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            out.folders.push_back(name);
        else if (S_ISREG(st.st_mode))
            out.files.push_back(name);
    }
    ::closedir(dir);
    return out;
}

} // namespace tarnwick::os
