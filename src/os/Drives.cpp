#include "os/Drives.h"
#include "os/TextCase.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string_view>

namespace tarnwick::os {

namespace {

// /proc/mounts writes blank, tab, newline and backslash as three octal digits.
std::string Unescape(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            std::string_view d = field.substr(i + 1, 3);
            if (d.size() == 3 && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>((d[0] - '0') * 64 + (d[1] - '0') * 8 + (d[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool IsPseudoType(const std::string& type)
{
    static const std::set<std::string> pseudo = {
        "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "securityfs", "cgroup", "cgroup2",
        "pstore", "bpf", "debugfs", "tracefs", "configfs", "fusectl", "mqueue", "hugetlbfs",
        "autofs", "binfmt_misc", "rpc_pipefs", "nsfs", "efivarfs", "selinuxfs", "squashfs",
        "overlay", "aufs", "nfsd", "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs",
        "none", "rootfs"};
    return pseudo.count(type) != 0;
}

bool Under(const std::string& path, const std::string& top)
{
    return path == top || (path.size() > top.size() && path.compare(0, top.size(), top) == 0 && path[top.size()] == '/');
}

bool IsSystemTree(const std::string& mount)
{
    if (Under(mount, "/run/media"))
        return false;
    for (const char* top : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot", "/var/lib/docker"})
        if (Under(mount, top))
            return true;
    return false;
}

// Windows roots: "C:\" holds "c:\a" and "C:" itself, whatever the case.
bool IsLetterRoot(const std::string& r) { return r.size() == 3 && r[1] == ':' && (r[2] == '\\' || r[2] == '/'); }

bool HoldsLetterRoot(const std::string& path, const std::string& r)
{
    return path.size() >= 2 && FoldCase(path[0]) == FoldCase(r[0]) && path[1] == ':' &&
           (path.size() == 2 || path[2] == '\\' || path[2] == '/');
}

} // namespace

std::vector<std::string> DriveRootsFromMountTable(const std::string& table)
{
    std::set<std::string> found;
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mount, type;
        if (!(fields >> device >> mount >> type))
            continue;
        mount = Unescape(mount);
        if (mount.empty() || mount[0] != '/' || mount == "/")
            continue;
        if (IsPseudoType(type) || IsSystemTree(mount))
            continue;
        while (mount.size() > 1 && mount.back() == '/')
            mount.pop_back();
        found.insert(mount);
    }
    std::vector<std::string> roots{"/"};
    roots.insert(roots.end(), found.begin(), found.end());
    return roots;
}

std::string DriveOf(const std::string& path, const std::vector<std::string>& roots)
{
    std::string best;
    for (const std::string& r : roots) {
        bool holds = r == "/" ? (!path.empty() && path[0] == '/')
                     : IsLetterRoot(r) ? HoldsLetterRoot(path, r)
                                       : Under(path, r);
        if (holds && r.size() > best.size())
            best = r;
    }
    return best.empty() ? (roots.empty() ? std::string("/") : roots.front()) : best;
}

} // namespace tarnwick::os
