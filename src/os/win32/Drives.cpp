#include <windows.h>

#include "os/Drives.h"
#include "os/PathStyle.h"

#include <cstring>

namespace tarnwick::os {

std::vector<std::string> DriveRoots()
{
    // "C:\<NUL>D:\<NUL><NUL>", in drive-letter order.
    char buf[512];
    DWORD n = ::GetLogicalDriveStringsA(sizeof buf, buf);
    std::vector<std::string> roots;
    if (n == 0 || n > sizeof buf)
        return roots;
    for (const char* p = buf; *p; p += std::strlen(p) + 1)
        roots.emplace_back(p);
    return roots;
}

std::optional<FolderEntries> ListFolderEntries(const std::string& folder, std::size_t maxNames)
{
    // An empty folder has always meant the current drive's root.
    const std::string pattern = JoinPath(folder.empty() ? "\\" : folder, "*", PathStyle::Windows);
    WIN32_FIND_DATAA d;
    HANDLE h = ::FindFirstFileA(pattern.c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) {
        // An empty drive has not even "."; that is an empty folder.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND)
            return FolderEntries{};
        return std::nullopt;
    }
    FolderEntries out;
    std::size_t read = 0;
    do {
        std::string name = d.cFileName;
        if (name == "." || name == "..")
            continue;
        if (read++ == maxNames)
            break;
        // Hidden and system entries are left out, as the shell's lists do.
        if (d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            out.folders.push_back(name);
        else
            out.files.push_back(name);
    } while (::FindNextFileA(h, &d));
    ::FindClose(h);
    return out;
}

} // namespace tarnwick::os
