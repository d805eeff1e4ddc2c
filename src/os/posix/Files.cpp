#include "os/Files.h"
#include "os/ReplaceNames.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

bool WriteAll(int fd, const void* data, std::int64_t count)
{
    const char* in = static_cast<const char*>(data);
    while (count > 0) {
        ssize_t put = ::write(fd, in, static_cast<std::size_t>(std::min<std::int64_t>(count, 1 << 30)));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        in += put;
        count -= put;
    }
    return true;
}

} // namespace

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

StreamOutput::StreamOutput()
    : handle_(STDOUT_FILENO)
{
    // A reader that goes away must fail the write, not kill us unreported.
    ::signal(SIGPIPE, SIG_IGN);
}

StreamOutput::StreamOutput(const std::string& path)
{
    if (path.empty())
        return;
    // No O_CREAT: what is not there any more is not made as a plain file.
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return;
    // The name may have been swapped since it was looked at: only a FIFO or
    // a device is written in place, never the middle of a regular file.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
        ::close(fd);
        return;
    }
    ::signal(SIGPIPE, SIG_IGN);
    handle_ = fd;
    owned_ = true;
}

StreamOutput::~StreamOutput()
{
    if (owned_ && handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

bool StreamOutput::IsOpen() const { return handle_ >= 0; }

bool StreamOutput::Write(const void* data, std::int64_t count)
{
    if (handle_ < 0 || failed_)
        return false;
    if (!WriteAll(static_cast<int>(handle_), data, count))
        failed_ = true;
    return !failed_;
}

bool StreamOutput::Close()
{
    if (handle_ < 0)
        return false;
    if (owned_ && ::close(static_cast<int>(handle_)) != 0)
        failed_ = true;
    handle_ = -1;
    return !failed_;
}

AtomicOutputFile::AtomicOutputFile(const std::string& finalPath)
    : finalPath_(finalPath)
{
    if (finalPath.empty()) {
        failed_ = true;
        return;
    }
    const std::string temp = ReplaceTempName(finalPath, PathStyle::Posix);
    // O_EXCL with O_NOFOLLOW: a link planted under the temporary name is
    // never written through. What stands there is the leftover of a killed
    // run for this output: it goes, and the create is tried once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            tempPath_ = temp;
            handle_ = fd;
            return;
        }
        if (errno != EEXIST || attempt > 0 || ::unlink(temp.c_str()) != 0)
            break;
    }
    failed_ = true;
}

AtomicOutputFile::~AtomicOutputFile()
{
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
    if (!committed_ && !tempPath_.empty())
        ::unlink(tempPath_.c_str());
}

bool AtomicOutputFile::IsOpen() const { return handle_ >= 0; }

bool AtomicOutputFile::Write(const void* data, std::int64_t count)
{
    if (handle_ < 0 || failed_)
        return false;
    if (!WriteAll(static_cast<int>(handle_), data, count))
        failed_ = true;
    return !failed_;
}

bool AtomicOutputFile::Commit()
{
    if (handle_ < 0 || failed_)
        return false;
    int fd = static_cast<int>(handle_);
    handle_ = -1;
    // No fsync: the rename alone keeps a half-written file from ever
    // standing under the final name, and an fsync per extracted file costs
    // more than the copy itself.
    bool ok = ::close(fd) == 0;
    if (ok && ::rename(tempPath_.c_str(), finalPath_.c_str()) == 0) {
        committed_ = true;
        return true;
    }
    failed_ = true;
    return false;
}

} // namespace tarnwick::os
