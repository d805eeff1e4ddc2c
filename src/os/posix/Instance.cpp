#include "os/Instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::os {

namespace {

bool IsOwnedFolder(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

std::string RuntimeFolder(const std::string& name)
{
    if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x == '/' && IsOwnedFolder(x))
        return x;
    // A private folder in /tmp; one that someone else made (or a link) is
    // not trusted, since its owner could hold or remove our lock.
    std::string dir = "/tmp/" + name + "-" + std::to_string(::getuid());
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsOwnedFolder(dir) ? dir : std::string();
}

} // namespace

InstanceLock::InstanceLock(const std::string& name, const std::string& folder)
{
    std::string dir = folder.empty() ? RuntimeFolder(name) : folder;
    if (dir.empty())
        return;
    path_ = dir + "/" + name + ".lock";
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    handle_ = fd;
    // flock belongs to the open file, not to the process: a second object
    // in the same process is refused too, and the kernel drops the lock
    // when the holder dies.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return;
    acquired_ = true;
    // The holder's id, for people (and tests) looking at the file.
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, pid.data(), pid.size(), 0);
}

InstanceLock::~InstanceLock()
{
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

} // namespace tarnwick::os
