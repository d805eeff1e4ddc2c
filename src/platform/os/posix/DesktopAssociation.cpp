#include "platform/os/DesktopAssociation.h"
#include "platform/os/Files.h"
#include "platform/os/Profile.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tarnwick::os {

namespace {

std::string Home(const char* variable, const char* fallback)
{
    if (const char* x = std::getenv(variable); x && *x == '/')
        return x;
    if (const char* h = std::getenv("HOME"); h && *h)
        return std::string(h) + fallback;
    return {};
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty() || IsPlainFolder(folder))
        return true;
    const std::size_t last = folder.rfind('/');
    if (last != std::string::npos && last > 0 && !MakeFolders(folder.substr(0, last)))
        return false;
    return CreateFolder(folder) || IsPlainFolder(folder);
}

bool WriteWhole(const std::string& path, const std::string& text)
{
    AtomicOutputFile out(path);
    return out.IsOpen() && out.Write(text.data(), static_cast<std::int64_t>(text.size())) && out.Commit();
}

std::string FindTool(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// Runs a tool quietly when it is installed; false only when it ran and failed.
bool RunIfPresent(const std::string& tool, const std::vector<std::string>& args)
{
    const std::string program = FindTool(tool);
    if (program.empty())
        return true;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// An argument of an Exec line: quoted, with the four characters the
// desktop entry format reserves inside quotes escaped; then, for the file's
// own string rules, every backslash doubled.
std::string ExecArgument(const std::string& arg)
{
    std::string quoted = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string out;
    for (char c : quoted) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

std::string RegisterDesktopVolumeHandler(const std::string& programPath)
{
    const std::string data = Home("XDG_DATA_HOME", "/.local/share");
    const std::string config = Home("XDG_CONFIG_HOME", "/.config");
    if (data.empty() || config.empty())
        return "there is no home folder to keep the desktop's file types in";
    const std::string mimeFolder = data + "/mime";
    const std::string packages = mimeFolder + "/packages";
    const std::string applications = data + "/applications";
    if (!MakeFolders(packages))
        return "the folder " + packages + " cannot be made";
    if (!MakeFolders(applications))
        return "the folder " + applications + " cannot be made";
    if (!MakeFolders(config))
        return "the folder " + config + " cannot be made";

    const std::string type = kVolumeMimeType;
    const std::string mime =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" + type + "\">\n"
        "    <comment>Starsiege: Tribes volume</comment>\n"
        "    <magic priority=\"60\">\n"
        "      <match type=\"string\" offset=\"0\" value=\"PVOL\"/>\n"
        "    </magic>\n"
        "    <glob pattern=\"*.vol\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const std::string mimeFile = packages + "/tarnwick-volume.xml";
    if (!WriteWhole(mimeFile, mime))
        return mimeFile + " cannot be written";

    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Tarnwick\n"
                              "GenericName=Volume Browser\n"
                              "Comment=Browse Starsiege: Tribes volumes and extract their files\n"
                              "Exec=" + ExecArgument(programPath) + " %f\n"
                              "Terminal=false\n"
                              "MimeType=" + type + ";\n"
                              "Categories=Utility;Archiving;\n";
    const std::string entryFile = applications + "/" + kDesktopEntryName;
    if (!WriteWhole(entryFile, entry))
        return entryFile + " cannot be written";

    // The default application, in the user's list; every other line of it
    // stays as it was.
    const std::string list = config + "/mimeapps.list";
    if (!WritePrivateProfileString("Default Applications", type, kDesktopEntryName, list))
        return list + " cannot be written";
    if (!WritePrivateProfileString("Added Associations", type, std::string(kDesktopEntryName) + ";", list))
        return list + " cannot be written";

    if (!RunIfPresent("update-mime-database", {mimeFolder}))
        return "the file-type database in " + mimeFolder + " could not be refreshed";
    if (!RunIfPresent("update-desktop-database", {"-q", applications}))
        return "the application database in " + applications + " could not be refreshed";
    return {};
}

} // namespace tarnwick::os
