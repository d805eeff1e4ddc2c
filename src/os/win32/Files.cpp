// windows.h first: it turns DeleteFile into a macro, which must be gone
// before our own DeleteFile is declared.
#include <windows.h>
#undef DeleteFile

#include "os/Files.h"
#include "os/WindowsNames.h"

#include <algorithm>

namespace tarnwick::os {

namespace {

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return !path.empty() && ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != 0;
}

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// 100 ns ticks since 1601 to seconds since 1970.
std::time_t ToTimeT(const FILETIME& ft)
{
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    constexpr std::uint64_t kEpochDiff = 116444736000000000ULL;
    if (t.QuadPart < kEpochDiff)
        return 0;
    return static_cast<std::time_t>((t.QuadPart - kEpochDiff) / 10000000ULL);
}

} // namespace

bool IsPlainFile(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    return Attributes(path, d) && !(d.dwFileAttributes & (kHiddenOrSystem | FILE_ATTRIBUTE_DIRECTORY));
}

bool IsPlainFolder(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!Attributes(path, d) || !(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // Drive roots carry hidden and system on many systems, yet they are the
    // very folders a user browses from.
    bool root = path.size() <= 3 && path.size() >= 2 && path[1] == ':';
    return root || !(d.dwFileAttributes & kHiddenOrSystem);
}

bool PlainExists(const std::string& path) { return IsPlainFile(path) || IsPlainFolder(path); }

bool IsSpecialFile(const std::string&) { return false; }

std::optional<std::int64_t> FileLength(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!Attributes(path, d) || (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow);
}

std::optional<std::int64_t> FreeBytesIn(const std::string& folder)
{
    ULARGE_INTEGER available;
    if (folder.empty() || !::GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    return static_cast<std::int64_t>(std::min<unsigned long long>(available.QuadPart, INT64_MAX));
}

std::optional<std::time_t> FileModified(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!Attributes(path, d))
        return std::nullopt;
    return ToTimeT(d.ftLastWriteTime);
}

bool DeleteFile(const std::string& path) { return !path.empty() && ::DeleteFileA(path.c_str()) != 0; }

bool CreateFolder(const std::string& path)
{
    return !path.empty() && ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RenameFile(const std::string& from, const std::string& to)
{
    return !from.empty() && !to.empty() && ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

namespace {

// A path from a call that first tells the size it needs (with the NUL), then
// fills a buffer of that size. What it answers may change between the calls
// (a path renamed, the current folder changed), so repeat until it fits.
template <typename Call>
std::string PathOfGrowingSize(Call call)
{
    DWORD need = call(nullptr, 0);
    for (int attempt = 0; need != 0 && attempt < 4; ++attempt) {
        std::string out(need, '\0');
        const DWORD got = call(out.data(), need);
        if (got == 0)
            return {};
        if (got < need) {
            out.resize(got);
            return out;
        }
        need = got;
    }
    return {};
}

} // namespace

std::string LongPathName(const std::string& path)
{
    if (path.empty())
        return {};
    return PathOfGrowingSize([&path](char* buffer, DWORD size) {
        return ::GetLongPathNameA(path.c_str(), buffer, size);
    });
}

std::string RealPath(const std::string& path)
{
    if (path.empty())
        return {};
    // No access asked for: only the name is wanted, so a file open elsewhere
    // or a folder (backup semantics) opens all the same.
    HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    // Asked with a buffer from the start: Wine answers a call without one
    // with nothing at all.
    std::string out(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD got = ::GetFinalPathNameByHandleA(h, out.data(), static_cast<DWORD>(out.size()),
                                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (got == 0 || got < out.size()) {
            out.resize(got);
            break;
        }
        out.assign(got, '\0');
    }
    ::CloseHandle(h);
    // The answer comes as \\?\C:\... or \\?\UNC\server\...: back to the
    // form the rest of the program compares against.
    if (out.compare(0, 8, "\\\\?\\UNC\\") == 0)
        out = "\\" + out.substr(7);
    else if (out.compare(0, 4, "\\\\?\\") == 0)
        out.erase(0, 4);
    return out;
}

std::string AbsolutePath(const std::string& path)
{
    if (path.empty())
        return {};
    return PathOfGrowingSize([&path](char* buffer, DWORD size) {
        return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    });
}

bool IsProgramFile(const std::string& path)
{
    DWORD kind = 0;
    return IsPlainFile(path) && ::GetBinaryTypeA(path.c_str(), &kind) != 0;
}

InputFile::InputFile(const std::string& path)
{
    if (path.empty())
        return;
    // Others may go on reading, writing or even deleting the file while we
    // hold it, as they could on POSIX.
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    // Only disk files: a device or pipe name must not block a read.
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
}

InputFile::~InputFile()
{
    if (handle_ != -1)
        ::CloseHandle(AsHandle(handle_));
}

bool InputFile::IsOpen() const { return handle_ != -1; }

std::optional<std::int64_t> InputFile::Size() const
{
    LARGE_INTEGER size;
    if (handle_ == -1 || !::GetFileSizeEx(AsHandle(handle_), &size))
        return std::nullopt;
    return static_cast<std::int64_t>(size.QuadPart);
}

std::optional<std::string> InputFile::Identity() const
{
    BY_HANDLE_FILE_INFORMATION info;
    if (handle_ == -1 || !::GetFileInformationByHandle(AsHandle(handle_), &info))
        return std::nullopt;
    // The change time, which no program sets back; left zero where the
    // system cannot tell it.
    FILE_BASIC_INFO basic{};
    ::GetFileInformationByHandleEx(AsHandle(handle_), FileBasicInfo, &basic, sizeof basic);
    const std::int64_t values[] = {
        static_cast<std::int64_t>(info.dwVolumeSerialNumber),
        (static_cast<std::int64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
        (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
        (static_cast<std::int64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime,
        basic.ChangeTime.QuadPart};
    return std::string(reinterpret_cast<const char*>(values), sizeof values);
}

std::int64_t InputFile::ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const
{
    if (handle_ == -1 || offset < 0 || count < 0)
        return -1;
    std::int64_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 30));
        OVERLAPPED at{};
        std::uint64_t pos = static_cast<std::uint64_t>(offset + done);
        at.Offset = static_cast<DWORD>(pos & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(pos >> 32);
        DWORD got = 0;
        if (!::ReadFile(AsHandle(handle_), out + done, chunk, &got, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

namespace {

// A device's name as the last piece, in any folder and with any extension.
bool IsDeviceName(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/:");
    return IsWindowsDeviceName(std::string_view(path).substr(cut == std::string::npos ? 0 : cut + 1));
}

} // namespace

OutputKind KindOfOutput(const std::string& path)
{
    // Pipes and devices are named, not looked at: opening a pipe to see what
    // it is would use up its one waiting instance.
    if (path.compare(0, 4, "\\\\.\\") == 0 || IsDeviceName(path))
        return OutputKind::Stream;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return OutputKind::Refused;
    return OutputKind::File;
}

} // namespace tarnwick::os
