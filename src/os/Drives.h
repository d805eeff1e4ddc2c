#pragma once
// The "drives" the folder lists offer, and the folders' contents they show.
// On Windows the drives are the lettered roots; on POSIX they are the root
// "/" and the mount points of the real (not pseudo) file systems.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::os {

// The roots to offer, "/" first on POSIX, then the others sorted.
std::vector<std::string> DriveRoots();

// The mount points of a mount table in the form of /proc/mounts (device,
// mount point, type, ...; blanks in paths written as \040), skipping pseudo
// file systems and the system's own trees (/proc, /sys, /dev, /run except
// /run/media). "/" always comes first; the others follow sorted.
std::vector<std::string> DriveRootsFromMountTable(const std::string& table);

// The drive among `roots` that holds `path`: the longest root that is the
// path itself or one of its leading folders. "/" (or "") when none is.
std::string DriveOf(const std::string& path, const std::vector<std::string>& roots);

struct FolderEntries {
    std::vector<std::string> folders; // plain subfolders' names
    std::vector<std::string> files;   // plain files' names
};
// The names in a folder ("." and ".." left out), unsorted; nothing when the
// folder cannot be read. At most `maxNames` names are read (every kind of
// entry counts): a larger folder is listed in part, for a look that must
// stay cheap whatever it meets.
std::optional<FolderEntries> ListFolderEntries(const std::string& folder,
                                               std::size_t maxNames = static_cast<std::size_t>(-1));

} // namespace tarnwick::os
