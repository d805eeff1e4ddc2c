#pragma once
// The folder list's values, in the classic style: the chain of folders from
// the root down to the current one (the current one open and selected), then
// the current folder's subfolders, sorted. Opening an entry makes it the
// current folder.
#include "os/PathStyle.h"

#include <string>
#include <vector>

namespace tarnwick {

struct FolderEntry {
    std::string label; // the folder's own name; a root's whole path
    std::string path;  // the folder it stands for
    int depth = 0;     // how far it is indented
    bool open = false; // on the chain to the current folder
};

class FolderListing {
public:
    explicit FolderListing(PathStyle style = NativePathStyle()) : style_(style) {}

    const std::string& Path() const { return path_; }
    // Shows `path`; true when it differs from the current folder. A folder
    // that cannot be read is shown without subfolders.
    bool SetPath(const std::string& path);
    // Lists the current folder again (folders may have come or gone).
    void Refresh();

    const std::vector<FolderEntry>& Entries() const { return entries_; }
    // The row of the current folder: the chain's last entry.
    int CurrentRow() const { return chainLength_ - 1; }

private:
    PathStyle style_;
    std::string path_;
    std::vector<FolderEntry> entries_;
    int chainLength_ = 0;
};

// The folders from the root down to `path`, each as a whole path.
std::vector<std::string> FolderChain(const std::string& path, PathStyle style);

} // namespace tarnwick
