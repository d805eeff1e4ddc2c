#include "os/Files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tarnwick::os {

namespace {
bool StatPath(const std::string& path, struct stat& st)
{
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}
} // namespace

bool IsPlainFile(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && S_ISREG(st.st_mode);
}

bool IsSpecialFile(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool IsPlainFolder(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool PlainExists(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
}

std::optional<std::int64_t> FileLength(const std::string& path)
{
    struct stat st;
    if (!StatPath(path, st) || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<std::int64_t> FreeBytesIn(const std::string& folder)
{
    struct statvfs vfs;
    if (folder.empty() || ::statvfs(folder.c_str(), &vfs) != 0)
        return std::nullopt;
    const unsigned long long bytes = static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize;
    return static_cast<std::int64_t>(std::min<unsigned long long>(bytes, INT64_MAX));
}

std::optional<std::time_t> FileModified(const std::string& path)
{
    struct stat st;
    if (!StatPath(path, st))
        return std::nullopt;
    return st.st_mtime;
}

bool DeleteFile(const std::string& path)
{
    return !path.empty() && ::unlink(path.c_str()) == 0;
}

bool CreateFolder(const std::string& path)
{
    return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool RenameFile(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::string LongPathName(const std::string& path)
{
    if (path.empty())
        return {};
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string out(resolved);
    std::free(resolved);
    return out;
}

// realpath already follows every link.
std::string RealPath(const std::string& path) { return LongPathName(path); }

std::string AbsolutePath(const std::string& path)
{
    std::string full;
    if (path.empty() || path[0] != '/') {
        char* current = ::getcwd(nullptr, 0);
        if (!current)
            return {};
        full = current;
        std::free(current);
        full += '/';
    }
    full += path;
    std::string out;
    std::size_t start = 0;
    while (start < full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        if (end > start && full.compare(start, end - start, ".") != 0) {
            out += '/';
            out.append(full, start, end - start);
        }
        start = end + 1;
    }
    return out.empty() ? "/" : out;
}

bool IsProgramFile(const std::string& path)
{
    return IsPlainFile(path) && ::access(path.c_str(), X_OK) == 0;
}

InputFile::InputFile(const std::string& path)
{
    // O_NONBLOCK keeps a FIFO that slipped past the caller's checks from
    // hanging the open; regular files ignore it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    handle_ = fd;
}

InputFile::~InputFile()
{
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

bool InputFile::IsOpen() const { return handle_ >= 0; }

std::optional<std::int64_t> InputFile::Size() const
{
    struct stat st;
    if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &st) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<std::string> InputFile::Identity() const
{
    struct stat st;
    if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &st) != 0)
        return std::nullopt;
    const std::int64_t values[] = {static_cast<std::int64_t>(st.st_dev),  static_cast<std::int64_t>(st.st_ino),
                                   static_cast<std::int64_t>(st.st_size), st.st_mtim.tv_sec,
                                   st.st_mtim.tv_nsec,                   st.st_ctim.tv_sec,
                                   st.st_ctim.tv_nsec};
    return std::string(reinterpret_cast<const char*>(values), sizeof values);
}

std::int64_t InputFile::ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const
{
    if (handle_ < 0 || offset < 0 || count < 0)
        return -1;
    std::int64_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < count) {
        std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(count - done, 1 << 30));
        ssize_t got = ::pread(static_cast<int>(handle_), out + done, chunk, offset + done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

OutputKind KindOfOutput(const std::string& path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return OutputKind::File; // nothing there yet; the create says the rest
    if (S_ISREG(st.st_mode))
        return OutputKind::File;
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))
        return OutputKind::Stream;
    return OutputKind::Refused;
}

} // namespace tarnwick::os
