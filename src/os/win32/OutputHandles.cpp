#include <windows.h>

#include "os/OutputHandles.h"

namespace tarnwick::os::output {

namespace {
HANDLE AsHandle(Handle h) { return reinterpret_cast<HANDLE>(h); }
} // namespace

Handle StandardOutput()
{
    // A program without a console, started with nothing in its place, has no
    // standard output at all.
    HANDLE h = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return kNone;
    return reinterpret_cast<Handle>(h);
}

Handle OpenStream(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return kNone;
    // Only a pipe or a device is written in place, never a disk file.
    const DWORD type = ::GetFileType(h);
    if (type != FILE_TYPE_PIPE && type != FILE_TYPE_CHAR) {
        ::CloseHandle(h);
        return kNone;
    }
    return reinterpret_cast<Handle>(h);
}

Handle CreateNew(const std::string& path, bool& taken)
{
    // CREATE_NEW never takes over a file that someone else made meanwhile;
    // no sharing, so nobody reads or moves it while it is being written.
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD err = h == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    taken = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
    return reinterpret_cast<Handle>(h);
}

std::int64_t WriteSome(Handle handle, const void* data, std::int64_t count)
{
    DWORD put = 0;
    // A write that succeeds yet takes nothing counts as failed: a pipe that
    // takes nothing now would have the caller's loop spin.
    if (!::WriteFile(AsHandle(handle), data, static_cast<DWORD>(count), &put, nullptr) || put == 0)
        return -1;
    return put;
}

bool Close(Handle handle) { return ::CloseHandle(AsHandle(handle)) != 0; }

// A file another run holds open cannot be deleted (it was opened without
// sharing), so trying is safe.
bool Abandoned(const std::string&) { return true; }

// Windows makes no file without a name: every output goes through its
// temporary name.
Handle CreateUnnamed(const std::string&) { return kNone; }

bool NameIntoPlace(Handle handle, const std::string&, const std::string&)
{
    Close(handle);
    return false;
}

bool MoveIntoPlace(Handle handle, const std::string& temp, const std::string& final)
{
    // Closed first: the move needs the file that nobody else may open.
    const bool moved = Close(handle) && ::MoveFileExA(temp.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!moved)
        ::DeleteFileA(temp.c_str());
    return moved;
}

void Discard(Handle handle, const std::string& temp)
{
    Close(handle);
    ::DeleteFileA(temp.c_str());
}

} // namespace tarnwick::os::output
