#include <windows.h>
#include <shlobj.h>

#include "os/System.h"
#include "os/PathStyle.h"

namespace tarnwick::os {

std::string ProgramPath()
{
    // GetModuleFileNameA truncates silently and only tells by filling the
    // whole buffer, so grow until the answer is shorter than the room.
    std::string buf(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 6; ++attempt) {
        DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 4);
    }
    return {};
}

std::string ProgramFolder()
{
    std::string path = ProgramPath();
    auto sep = path.find_last_of("\\/");
    if (sep == std::string::npos)
        return ".";
    // Keep the backslash of a drive root: "C:" alone is the current folder
    // of drive C, not its root.
    if (sep == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, sep);
}

std::string ExtractorFileName() { return "extract.exe"; }

std::string DefaultExtractorPath(const std::string& programFolder)
{
    // Windows installs keep every program of the package in one folder.
    return JoinPath(programFolder, ExtractorFileName(), PathStyle::Windows);
}

// Windows programs keep the classic rule: a copy's settings live beside it,
// wherever it was put.
bool IsSystemFolder(const std::string&) { return false; }
bool IsInstalledCopy(const std::string&) { return false; }

bool StandardOutputIsTerminal()
{
    // Only a console answers GetConsoleMode; the NUL device, which the C
    // runtime's isatty takes for a terminal, does not.
    DWORD mode = 0;
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    return out != nullptr && out != INVALID_HANDLE_VALUE && ::GetConsoleMode(out, &mode) != 0;
}

void RestrictLibrarySearch()
{
    // The default search of LoadLibrary starts with the program's folder;
    // from here on only the system folder is searched. The empty DLL folder
    // also takes the current folder out, for any load made with its own
    // search flags.
    ::SetDllDirectoryW(L"");
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void Beep() { ::MessageBeep(MB_OK); }

namespace {

// One of the shell's folders of the user, "" when the system names none.
std::string ShellFolder(int csidl)
{
    char buf[MAX_PATH];
    if (::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK)
        return {};
    return buf;
}

} // namespace

std::string UserHomeFolder() { return ShellFolder(CSIDL_PROFILE); }

std::string UserConfigFolder() { return ShellFolder(CSIDL_APPDATA); }

std::string UserCacheFolder() { return ShellFolder(CSIDL_LOCAL_APPDATA); }

// The user's documents: the folder every Windows version names.
std::string UserDownloadFolder() { return ShellFolder(CSIDL_PERSONAL); }

bool FolderIsWritable(const std::string& folder)
{
    if (folder.empty())
        return false;
    // The read-only attribute means nothing for folders on Windows and the
    // rights come from ACLs, so the only sure answer is to try: make a
    // probe file that the system removes as soon as it is closed.
    static LONG counter = 0;
    char name[64];
    wsprintfA(name, "~tarnwick%lx_%lx.tmp", static_cast<unsigned long>(::GetCurrentProcessId()),
              static_cast<unsigned long>(::InterlockedIncrement(&counter)));
    const std::string probe = JoinPath(folder, name, PathStyle::Windows);
    HANDLE h = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}

} // namespace tarnwick::os
