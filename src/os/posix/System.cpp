#include "os/System.h"
#include "os/posix/XdgFolder.h"

#include "os/PathStyle.h"
#include "os/Files.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

std::string DefaultExtractorPath(const std::string& programFolder)
{
    std::string folder = programFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const std::string beside = JoinPath(folder, ExtractorFileName(), PathStyle::Posix);
    // The prefix is taken from the path as spelled: the program's own path
    // comes with every link resolved, and a missing folder has no "..".
    const auto slash = folder.find_last_of('/');
    if (slash == std::string::npos || folder == "/")
        return beside;
    // The prefix of /bin is the root itself.
    const std::string prefix = slash == 0 ? "/" : folder.substr(0, slash);
    const std::string installed = JoinPath(prefix, "libexec/tarnwick/" + ExtractorFileName(), PathStyle::Posix);
    // In a system folder an `extract` beside the program is another
    // program's (Debian's extract package has /usr/bin/extract): there the
    // one installed with Tarnwick comes first.
    if (IsSystemFolder(folder) && IsPlainFile(installed))
        return installed;
    if (IsPlainFile(beside))
        return beside;
    return IsPlainFile(installed) ? installed : beside;
}

bool IsSystemFolder(const std::string& folder)
{
    if (folder.empty() || folder[0] != '/')
        return false;
    // The first piece of the path, doubled slashes read as one.
    std::size_t start = folder.find_first_not_of('/');
    if (start == std::string::npos)
        return false;
    const std::string top = folder.substr(start, folder.find('/', start) - start);
    static const char* const systemTops[] = {"usr", "bin", "sbin", "lib", "lib64", "libexec", "opt", "snap", "app"};
    for (const char* t : systemTops)
        if (top == t)
            return true;
    return false;
}

bool IsInstalledCopy(const std::string& programFolder)
{
    if (IsSystemFolder(programFolder))
        return true;
    std::string folder = programFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const std::string beside = JoinPath(folder, ExtractorFileName(), PathStyle::Posix);
    return DefaultExtractorPath(folder) != beside || !FolderIsWritable(folder);
}

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

std::string UserHomeFolder()
{
    const char* h = std::getenv("HOME");
    return h && *h == '/' && IsPlainFolder(h) ? std::string(h) : std::string();
}

std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string UserCacheFolder() { return XdgFolder("XDG_CACHE_HOME", "/.cache"); }

bool FolderIsWritable(const std::string& folder)
{
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

namespace {

// The value of XDG_DOWNLOAD_DIR in user-dirs.dirs: a line
// XDG_DOWNLOAD_DIR="$HOME/Downloads" or one with an absolute path.
std::string DownloadFolderFromUserDirs(const std::string& home)
{
    const std::string config = UserConfigFolder();
    if (config.empty())
        return {};
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOWNLOAD_DIR=\"";
    while (std::getline(file, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        const auto end = line.find('"', key.size());
        if (end == std::string::npos)
            return {};
        std::string value = line.substr(key.size(), end - key.size());
        if (value.rfind("$HOME", 0) == 0)
            value = home.empty() ? std::string() : home + value.substr(5);
        return !value.empty() && value.front() == '/' ? value : std::string();
    }
    return {};
}

} // namespace

std::string UserDownloadFolder()
{
    const char* h = std::getenv("HOME");
    const std::string home = h && *h == '/' ? h : "";
    if (const char* x = std::getenv("XDG_DOWNLOAD_DIR"); x && *x == '/' && IsPlainFolder(x))
        return x;
    if (const std::string named = DownloadFolderFromUserDirs(home); !named.empty() && IsPlainFolder(named))
        return named;
    return !home.empty() && IsPlainFolder(home) ? home : std::string();
}

} // namespace tarnwick::os
