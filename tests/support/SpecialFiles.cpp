#include "support/SpecialFiles.h"

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {

bool MakeSocket(const std::string& path)
{
    sockaddr_un addr{};
    if (path.size() >= sizeof addr.sun_path)
        return false;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    // The socket file stays when the socket closes.
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

bool MakeNode(SpecialKind kind, const std::string& path)
{
    switch (kind) {
    case SpecialKind::Fifo:
        return ::mkfifo(path.c_str(), 0644) == 0;
    case SpecialKind::Socket:
        return MakeSocket(path);
    case SpecialKind::NullDevice:
        return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
    default:
        return false;
    }
}

bool HasType(const struct stat& st, SpecialKind kind)
{
    switch (kind) {
    case SpecialKind::Fifo:
    case SpecialKind::LinkToFifo:
        return S_ISFIFO(st.st_mode);
    case SpecialKind::Socket:
        return S_ISSOCK(st.st_mode);
    case SpecialKind::NullDevice:
    case SpecialKind::LinkToNullDevice:
        return S_ISCHR(st.st_mode) && st.st_rdev == ::makedev(1, 3);
    }
    return false;
}

bool IsLink(SpecialKind kind)
{
    return kind == SpecialKind::LinkToFifo || kind == SpecialKind::LinkToNullDevice;
}

} // namespace

const std::vector<SpecialKind>& AllSpecialKinds()
{
    static const std::vector<SpecialKind> all = {SpecialKind::Fifo, SpecialKind::Socket, SpecialKind::NullDevice,
                                                 SpecialKind::LinkToFifo, SpecialKind::LinkToNullDevice};
    return all;
}

const char* Describe(SpecialKind kind)
{
    static const char* const names[] = {"a FIFO", "a socket", "the null device", "a link to a FIFO",
                                        "a link to the null device"}; // in the order of SpecialKind
    return names[static_cast<int>(kind)];
}

bool MakeSpecialFile(SpecialKind kind, const std::string& path)
{
    if (!IsLink(kind))
        return MakeNode(kind, path);
    const std::string target = path + ".target";
    const SpecialKind node = kind == SpecialKind::LinkToFifo ? SpecialKind::Fifo : SpecialKind::NullDevice;
    return MakeNode(node, target) && ::symlink(target.c_str(), path.c_str()) == 0;
}

bool IsSpecialFile(SpecialKind kind, const std::string& path)
{
    struct stat own {}, reached {};
    if (::lstat(path.c_str(), &own) != 0 || S_ISLNK(own.st_mode) != IsLink(kind))
        return false;
    return ::stat(path.c_str(), &reached) == 0 && HasType(reached, kind);
}

} // namespace tarnwick::test
