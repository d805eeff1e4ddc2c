#include "os/Folders.h"

#include <filesystem>

// The standard library's folder walk works the same on both systems, so this
// one file serves POSIX and Windows alike.
namespace tarnwick::os {

std::vector<std::string> ListFolder(const std::string& path, bool* ok)
{
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(std::filesystem::path(path), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        names.push_back(it->path().filename().string());
    if (ec)
        names.clear();
    if (ok)
        *ok = !ec;
    return names;
}

bool IsSymbolicLink(const std::string& path)
{
    std::error_code ec;
    auto st = std::filesystem::symlink_status(std::filesystem::path(path), ec);
    if (ec)
        return false;
    return std::filesystem::is_symlink(st);
}

} // namespace tarnwick::os
