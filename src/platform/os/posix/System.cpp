#include "platform/os/System.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace tarnwick::os {

std::string ProgramPath()
{
    char buf[PATH_MAX + 1];
    ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0)
        return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string ProgramFolder()
{
    std::string path = ProgramPath();
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string ExtractorFileName() { return "extract"; }

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

void RestrictLibrarySearch()
{
    // The dynamic linker looks in the folders of the executable's RUNPATH and
    // the system's, never in the program's folder unless told with $ORIGIN.
}

void Beep()
{
    // The terminal bell is what a POSIX desktop program has without a sound
    // server; the window layer rings QApplication::beep instead.
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

std::string UserConfigFolder()
{
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/')
        return x;
    if (const char* h = std::getenv("HOME"); h && *h)
        return std::string(h) + "/.config";
    return {};
}

bool FolderIsWritable(const std::string& folder)
{
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace tarnwick::os
