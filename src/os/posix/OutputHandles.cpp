#include "os/OutputHandles.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    return fd < 0 ? kNone : fd;
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
