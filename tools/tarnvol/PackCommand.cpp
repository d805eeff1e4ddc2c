#include "Commands.h"

#include "platform/os/Files.h"
#include "platform/os/Folders.h"
#include "volume/VolumeWriter.h"

#include <algorithm>
#include <cstdio>

namespace tarnvol {

const char* kPackHelp =
    "Usage: tarnvol pack OUTPUT.vol [-C DIR] FILE...\n"
    "Writes a volume holding the given files, stored as is. A FILE that is a\n"
    "folder adds everything below it. Stored names are the paths relative to\n"
    "DIR (default: the current folder), with backslashes between folders, as\n"
    "the game expects. The volume appears whole or not at all.\n"
    "Exit status: 0 written, 1 a file could not be read or the volume written,\n"
    "2 wrong command line.\n";

namespace {

std::string Join(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir == ".")
        return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string StoredName(std::string relative)
{
    std::replace(relative.begin(), relative.end(), '/', '\\');
    while (relative.rfind(".\\", 0) == 0)
        relative.erase(0, 2);
    return relative;
}

bool ClimbsOut(const std::string& relative)
{
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        if (relative.compare(start, end - start, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Adds a file, or a folder's whole tree in name order so that two packs of
// the same tree give the same volume.
bool AddTree(tarnwick::VolumeWriter& writer, const std::string& base, const std::string& relative)
{
    const std::string path = Join(base, relative);
    if (tarnwick::os::IsPlainFolder(path)) {
        bool ok = false;
        std::vector<std::string> names = tarnwick::os::ListFolder(path, &ok);
        if (!ok) {
            std::fprintf(stderr, "tarnvol pack: cannot read the folder %s\n", path.c_str());
            return false;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& n : names)
            if (!AddTree(writer, base, Join(relative, n)))
                return false;
        return true;
    }
    if (!tarnwick::os::IsPlainFile(path) || !writer.AddFile(StoredName(relative), path)) {
        std::fprintf(stderr, "tarnvol pack: cannot read %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int RunPack(const std::vector<std::string>& args)
{
    std::string output;
    std::string base;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-C") {
            if (++i == args.size())
                return UsageError("pack", "-C needs a folder");
            base = args[i];
        } else if (output.empty()) {
            output = args[i];
        } else {
            files.push_back(args[i]);
        }
    }
    if (output.empty() || files.empty())
        return UsageError("pack", "give the OUTPUT volume and at least one FILE");

    tarnwick::VolumeWriter writer;
    for (const std::string& f : files) {
        if (f.empty() || f[0] == '/' || ClimbsOut(f)) {
            std::fprintf(stderr, "tarnvol pack: %s is not a path inside %s\n", f.c_str(),
                         base.empty() ? "the current folder" : base.c_str());
            return 1;
        }
        if (!AddTree(writer, base, f))
            return 1;
    }
    if (!writer.Write(output)) {
        std::fprintf(stderr, "tarnvol pack: %s\n", writer.Failure().c_str());
        return 1;
    }
    return 0;
}

} // namespace tarnvol
