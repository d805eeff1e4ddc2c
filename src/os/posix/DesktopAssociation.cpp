#include "os/DesktopAssociation.h"
#include "os/posix/XdgFolder.h"
#include "os/Files.h"
#include "os/Profile.h"

#include <cstdlib>
#include <initializer_list>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tarnwick::os {

namespace {

constexpr const char* kIconName = kDesktopId;
// What versions before the package's id wrote; the button takes them away
// so that the menu does not show Tarnwick twice.
constexpr const char* kEarlierEntryName = "tarnwick.desktop";
constexpr const char* kEarlierIconName = "tarnwick";

// The earlier entry goes only when it is ours: it opens our type.
void RemoveEarlierEntry(const std::string& applications, const std::string& icons)
{
    const std::string entry = applications + "/" + kEarlierEntryName;
    std::string text(4096, '\0');
    const InputFile in(entry);
    const std::int64_t got = IsPlainFile(entry) && in.IsOpen() ? in.ReadAt(0, text.data(), 4096) : -1;
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (text.find(std::string("\nMimeType=") + kVolumeMimeType + ";") != std::string::npos) {
        ::unlink(entry.c_str());
        const std::string icon = icons + "/" + kEarlierIconName + ".png";
        if (IsPlainFile(icon))
            ::unlink(icon.c_str());
    }
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

// Whether a path can stand bare in an Exec line for every reader of it: the
// entry format reserves blanks, quotes, backslashes, shell characters and
// "%"; xdg-utils, when it finds no desktop of its own (and under LXDE and
// LXQt), takes the line apart by the shell's word splitting, unquotes
// nothing and passes the program's word to `which` unquoted.
bool BareInExec(const std::string& s)
{
    if (s.empty())
        return false;
    for (char c : s) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == ',' || c == '@';
        if (!plain)
            return false;
    }
    return true;
}

// An argument of an Exec line by the entry format's rules: bare when it can
// be; otherwise quoted, with the four characters the format reserves inside
// quotes escaped; a percent sign doubled, as the format wants every literal
// one; then, for the file's own string rules, every backslash doubled.
std::string ExecArgument(const std::string& arg)
{
    std::string quoted;
    if (BareInExec(arg)) {
        quoted = arg;
    } else {
        quoted = "\"";
        for (char c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                quoted += '\\';
            else if (c == '%')
                quoted += '%';
            quoted += c;
        }
        quoted += '"';
    }
    std::string out;
    for (char c : quoted) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// How well a path does in an Exec line: bare, every reader runs it; quoted
// without a percent sign, GLib does; with one, none does, as GLib looks for
// the program before it undoes the doubled percent sign.
int ExecRank(const std::string& path)
{
    return BareInExec(path) ? 0 : path.find('%') == std::string::npos ? 1 : 2;
}

// What the Exec line names: the program itself when its path does well;
// otherwise a link to it in our own folder of the data folder, whose path
// usually does better. The program still finds its own folder through the
// link (the system reports the linked-to file).
std::string ProgramForExec(const std::string& programPath, const std::string& data)
{
    const std::string folder = data + "/tarnwick";
    const std::string link = folder + "/tarnwick";
    if (ExecRank(link) >= ExecRank(programPath) || !CreateFolderTree(folder))
        return programPath;
    // Made beside and renamed over: an old link is replaced whole or not at all.
    const std::string fresh = link + ".new";
    ::unlink(fresh.c_str());
    if (::symlink(programPath.c_str(), fresh.c_str()) != 0 || ::rename(fresh.c_str(), link.c_str()) != 0) {
        ::unlink(fresh.c_str());
        return programPath;
    }
    return link;
}

// The file type: by the volumes' magic bytes first, their ending after.
std::string MimePackage(bool hasIcon)
{
    const std::string type = kVolumeMimeType;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" + type + "\">\n"
           "    <comment>Starsiege: Tribes volume</comment>\n"
           "    <magic priority=\"60\">\n"
           "      <match type=\"string\" offset=\"0\" value=\"PVOL\"/>\n"
           "    </magic>\n"
           "    <glob pattern=\"*.vol\"/>\n" +
           (hasIcon ? "    <icon name=\"" + std::string(kIconName) + "\"/>\n" : std::string()) +
           "  </mime-type>\n"
           "</mime-info>\n";
}

// A value of the entry format's string type: its escapes for the
// characters a line cannot hold as they are.
std::string DesktopString(const std::string& value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ' ': out += "\\s"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string DesktopEntry(const std::string& program, bool hasIcon)
{
    const std::string type = kVolumeMimeType;
    // TryExec: once the program is gone (removed by the package manager, a
    // copy deleted), desktops pass over this entry instead of offering a
    // program that cannot start. StartupWMClass ties the window (WM_CLASS
    // tarnwick/Tarnwick) to the entry for the task bar.
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tarnwick\n"
           "GenericName=Volume Browser\n"
           "Comment=Browse Starsiege: Tribes volumes and extract their files\n"
           "TryExec=" + DesktopString(program) + "\n"
           "Exec=" + ExecArgument(program) + " %f\n" +
           (hasIcon ? "Icon=" + std::string(kIconName) + "\n" : std::string()) +
           "Terminal=false\n"
           "MimeType=" + type + ";\n"
           "Categories=Utility;Archiving;\n"
           "StartupWMClass=Tarnwick\n";
}

// The first folder that cannot be made, as the reason; empty when all stand.
std::string MakeFolders(std::initializer_list<std::string> folders)
{
    for (const std::string& folder : folders)
        if (!CreateFolderTree(folder))
            return "the folder " + folder + " cannot be made";
    return {};
}

// The default application, in the user's list; every other line of it
// stays as it was. Then the desktop's databases, where it has them.
std::string MakeDefault(const std::string& config, const std::string& mimeFolder, const std::string& applications)
{
    const std::string list = config + "/mimeapps.list";
    if (!WritePrivateProfileString("Default Applications", kVolumeMimeType, kDesktopEntryName, list))
        return list + " cannot be written";
    if (!WritePrivateProfileString("Added Associations", kVolumeMimeType, std::string(kDesktopEntryName) + ";", list))
        return list + " cannot be written";
    if (!RunIfPresent("update-mime-database", {mimeFolder}))
        return "the file-type database in " + mimeFolder + " could not be refreshed";
    if (!RunIfPresent("update-desktop-database", {"-q", applications}))
        return "the application database in " + applications + " could not be refreshed";
    return {};
}

} // namespace

std::string RegisterDesktopVolumeHandler(const std::string& programPath, const std::string& iconPng)
{
    const std::string data = XdgFolder("XDG_DATA_HOME", "/.local/share");
    const std::string config = XdgFolder("XDG_CONFIG_HOME", "/.config");
    if (data.empty() || config.empty())
        return "there is no home folder to keep the desktop's file types in";
    const std::string mimeFolder = data + "/mime";
    const std::string packages = mimeFolder + "/packages";
    const std::string applications = data + "/applications";
    if (std::string why = MakeFolders({packages, applications, config}); !why.empty())
        return why;

    // The program's icon, by name in the user's part of the icon theme that
    // every theme falls back to.
    const bool hasIcon = !iconPng.empty();
    const std::string icons = data + "/icons/hicolor/128x128/apps";
    if (hasIcon) {
        if (std::string why = MakeFolders({icons}); !why.empty())
            return why;
        if (!WriteWhole(icons + "/" + kIconName + ".png", iconPng))
            return icons + "/" + kIconName + ".png cannot be written";
    }

    const std::string mimeFile = packages + "/tarnwick-volume.xml";
    if (!WriteWhole(mimeFile, MimePackage(hasIcon)))
        return mimeFile + " cannot be written";
    const std::string entryFile = applications + "/" + kDesktopEntryName;
    if (!WriteWhole(entryFile, DesktopEntry(ProgramForExec(programPath, data), hasIcon)))
        return entryFile + " cannot be written";
    RemoveEarlierEntry(applications, icons);
    return MakeDefault(config, mimeFolder, applications);
}

} // namespace tarnwick::os
