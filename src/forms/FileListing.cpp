#include "forms/FileListing.h"

#include "forms/NameOrder.h"
#include "os/PathStyle.h"
#include "os/Drives.h"

#include <algorithm>

namespace tarnwick {

FileListing::FileListing(std::string extension) : extension_(ToLower(extension)) {}

void FileListing::SetPath(const std::string& path)
{
    path_ = path;
    Refresh();
}

void FileListing::Refresh()
{
    names_.clear();
    selected_ = -1;
    auto entries = os::ListFolderEntries(path_);
    if (!entries)
        return;
    for (std::string& n : entries->files) {
        if (n.size() >= extension_.size() && EqualsNoCase(std::string_view(n).substr(n.size() - extension_.size()), extension_))
            names_.push_back(std::move(n));
    }
    std::sort(names_.begin(), names_.end(), FileNameBefore);
}

void FileListing::Select(int row)
{
    selected_ = row >= 0 && static_cast<std::size_t>(row) < names_.size() ? row : -1;
}

std::string FileListing::FileName() const
{
    return selected_ >= 0 ? names_[static_cast<std::size_t>(selected_)] : std::string();
}

} // namespace tarnwick
