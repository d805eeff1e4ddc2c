#include "forms/FolderListing.h"

#include "forms/NameOrder.h"
#include "os/Drives.h"

#include <algorithm>

namespace tarnwick {

std::vector<std::string> FolderChain(const std::string& path, PathStyle style)
{
    const char sep = Separator(style);
    std::size_t rootEnd = 0;
    if (style == PathStyle::Windows && path.size() >= 2 && path[1] == ':')
        rootEnd = path.size() > 2 && path[2] == sep ? 3 : 2;
    else if (!path.empty() && path[0] == sep)
        rootEnd = 1;
    std::string root = path.substr(0, rootEnd);
    if (style == PathStyle::Windows && root.size() == 2)
        root += sep;
    if (root.empty())
        return {path};
    std::vector<std::string> chain{root};
    std::string current = root;
    for (std::size_t start = rootEnd; start < path.size();) {
        std::size_t end = path.find(sep, start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            current = JoinPath(current, path.substr(start, end - start), style);
            chain.push_back(current);
        }
        start = end + 1;
    }
    return chain;
}

bool FolderListing::SetPath(const std::string& path)
{
    std::string p = path;
    const char sep = Separator(style_);
    // A trailing separator names the same folder, except at a root.
    while (p.size() > 1 && p.back() == sep && !(style_ == PathStyle::Windows && p.size() == 3 && p[1] == ':'))
        p.pop_back();
    const bool changed = p != path_;
    path_ = p;
    Refresh();
    return changed;
}

void FolderListing::Refresh()
{
    entries_.clear();
    const char sep = Separator(style_);
    int depth = 0;
    for (const std::string& folder : FolderChain(path_, style_)) {
        const std::size_t last = folder.rfind(sep);
        std::string label = depth == 0 || last == std::string::npos ? folder : folder.substr(last + 1);
        entries_.push_back({std::move(label), folder, depth++, true});
    }
    chainLength_ = static_cast<int>(entries_.size());

    auto found = os::ListFolderEntries(path_);
    if (!found)
        return;
    std::vector<std::string> folders = std::move(found->folders);
    std::sort(folders.begin(), folders.end(), FileNameBefore);
    for (std::string& name : folders) {
        if (!name.empty() && name[0] == '.' && style_ == PathStyle::Posix)
            continue; // hidden, as the system's own browsers keep them
        std::string path = JoinPath(path_, name, style_);
        entries_.push_back({std::move(name), std::move(path), depth, false});
    }
}

} // namespace tarnwick
