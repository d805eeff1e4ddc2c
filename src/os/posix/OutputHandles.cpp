#include "os/OutputHandles.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace tarnwick::os::output {

Handle StandardOutput()
{
    // A reader that goes away must fail the write, not kill us unreported.
    ::signal(SIGPIPE, SIG_IGN);
    return STDOUT_FILENO;
}

Handle OpenStream(const std::string& path)
{
    // No O_CREAT: what is not there any more is not made as a plain file.
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return kNone;
    // The name may have been swapped since it was looked at: only a FIFO or
    // a device is written in place, never the middle of a regular file.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
        ::close(fd);
        return kNone;
    }
    ::signal(SIGPIPE, SIG_IGN);
    return fd;
}

Handle CreateNew(const std::string& path, bool& taken)
{
    // O_EXCL with O_NOFOLLOW: a link planted under the name is never written
    // through. 0666 leaves the mode to the user's umask, as for any new file.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    taken = fd < 0 && errno == EEXIST;
    if (fd < 0)
        return kNone;
    // Held while this run writes, so that another run for the same output
    // does not take the file for a leftover. Should another run look at it
    // in the moment before the lock, it may remove the file: this run then
    // finds its name taken when it moves it into place, and fails.
    ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

bool Abandoned(const std::string& path);

Handle CreateUnnamed(const std::string& finalPath)
{
#ifdef O_TMPFILE
    // Named afterwards through /proc (or by descriptor, with the right to).
    static const bool nameable = ::access("/proc/self/fd", X_OK) == 0;
    if (!nameable)
        return kNone;
    const std::size_t cut = finalPath.rfind('/');
    const std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : finalPath.substr(0, cut);
    const int fd = ::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    return fd < 0 ? kNone : fd;
#else
    (void)finalPath;
    return kNone;
#endif
}

namespace {

// Closes `fd` and gives a second descriptor of its file, -1 when none could
// be made; `closed` tells whether the close went well. The close reports what
// went wrong with the writes, and the copy keeps the file (and its lock) until
// it is in place, so that nobody takes it for a leftover meanwhile.
int CloseKeepingACopy(int fd, bool& closed)
{
    const int keep = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    closed = ::close(fd) == 0;
    return keep;
}

// Gives the unnamed file open as `fd` the name `path`, never through a link
// standing there; false, errno EEXIST, when something stands there.
bool LinkAt(int fd, const std::string& path)
{
    if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

} // namespace

bool NameIntoPlace(Handle handle, const std::string& temp, const std::string& final)
{
    bool closed = false;
    const int keep = CloseKeepingACopy(static_cast<int>(handle), closed);
    if (keep < 0)
        return false;
    bool named = closed && LinkAt(keep, final);
    if (closed && !named && errno == EEXIST) {
        // What stands under the name is replaced, as a rename replaces it;
        // a killed run's leftover under the temporary name goes first.
        named = LinkAt(keep, temp);
        if (!named && errno == EEXIST && Abandoned(temp) && ::unlink(temp.c_str()) == 0)
            named = LinkAt(keep, temp);
        if (named && ::rename(temp.c_str(), final.c_str()) != 0) {
            ::unlink(temp.c_str());
            named = false;
        }
    }
    ::close(keep);
    return named;
}

namespace {

// Whether `path` still names the file open as `fd`.
bool StillNamed(int fd, const std::string& path)
{
    struct stat mine, named;
    return ::fstat(fd, &mine) == 0 && ::lstat(path.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
           mine.st_ino == named.st_ino;
}

} // namespace

bool Abandoned(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st;
    const bool free = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

bool MoveIntoPlace(Handle handle, const std::string& temp, const std::string& final)
{
    bool closed = false;
    const int keep = CloseKeepingACopy(static_cast<int>(handle), closed);
    if (keep < 0)
        return false;
    const bool ours = StillNamed(keep, temp);
    const bool moved = closed && ours && ::rename(temp.c_str(), final.c_str()) == 0;
    if (!moved && ours)
        ::unlink(temp.c_str());
    ::close(keep);
    return moved;
}

void Discard(Handle handle, const std::string& temp)
{
    const int fd = static_cast<int>(handle);
    if (StillNamed(fd, temp))
        ::unlink(temp.c_str());
    ::close(fd);
}

std::int64_t WriteSome(Handle handle, const void* data, std::int64_t count)
{
    for (;;) {
        ssize_t put = ::write(static_cast<int>(handle), data, static_cast<std::size_t>(count));
        if (put >= 0 || errno != EINTR)
            return put;
        // A signal came before anything was written: nothing is lost by
        // trying again.
    }
}

bool Close(Handle handle) { return ::close(static_cast<int>(handle)) == 0; }

} // namespace tarnwick::os::output
