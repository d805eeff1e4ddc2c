#include "os/WineDrives.h"

#include "os/Files.h"
#include "os/System.h"

#include <set>

namespace tarnwick::os {

namespace {

// A prefix as the user would name it: "~/games/tribes" below the home.
std::string Spoken(const std::string& prefix, const std::string& home)
{
    if (!home.empty() && home != "/" && prefix.size() > home.size() && prefix.compare(0, home.size(), home) == 0 &&
        prefix[home.size()] == '/')
        return "~" + prefix.substr(home.size());
    return prefix;
}

} // namespace

std::vector<WineDrive> UserWineDrives()
{
    const std::string home = UserHomeFolder();
    const std::string usual = home.empty() ? std::string() : LongPathName(home + "/.wine");
    std::vector<std::string> prefixes;
    if (const char* named = std::getenv("WINEPREFIX"); named && *named == '/')
        prefixes.push_back(named);
    if (!home.empty())
        prefixes.push_back(home + "/.wine");

    std::vector<WineDrive> drives;
    std::set<std::string> prefixesSeen;
    std::set<std::string> foldersSeen{"/"};
    for (const std::string& prefix : prefixes) {
        const std::string real = LongPathName(prefix);
        if (real.empty() || !IsPlainFolder(real) || !prefixesSeen.insert(real).second)
            continue;
        const std::string note = real == usual ? "wine" : "wine " + Spoken(prefix, home);
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            // The drive's folder, not its dosdevices link, is what the lists
            // show: the folder list then walks the folders the file manager
            // and the shell name (~/.wine/drive_c/...), a volume opened from
            // there or from the command line is found on this drive, and a
            // drive leading to a mounted disk is that disk's folder.
            const std::string folder = LongPathName(real + "/dosdevices/" + letter + ':');
            if (folder.empty() || !IsPlainFolder(folder) || !foldersSeen.insert(folder).second)
                continue;
            drives.push_back({letter, std::string(1, letter) + ": (" + note + ")", folder});
        }
    }
    return drives;
}

} // namespace tarnwick::os
