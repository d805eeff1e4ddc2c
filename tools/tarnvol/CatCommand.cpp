// tarnvol cat: the stored bytes of files to standard output, as tar -xO does.
#include "Commands.h"
#include "NameArguments.h"
#include "ReadVolume.h"
#include "StoredNames.h"

#include "os/Files.h"

#include <cstdio>
#include <string_view>
#include <unordered_set>

namespace tarnvol {

const char* kCatHelp =
    "Usage: tarnvol cat [-0] [-T LIST] VOLUME NAME...\n"
    "Writes the stored bytes of every file the NAMEs select to standard output,\n"
    "one after the other in stored order, nothing between them. Only files\n"
    "stored as is (method 0) can be written; a compressed one is named on stderr\n"
    "and skipped, and so is one whose data does not lie in the file.\n"
    "  -T, --files-from=LIST  also the names in the file LIST (- for standard\n"
    "                   input), one a line\n"
    "  -0, --null       the LIST is NUL-separated and holds the stored bytes, as\n"
    "                   'tarnvol list -0' writes them\n"
    "A NAME may use / for \\, the wildcards * and ? (letters match in either\n"
    "case), and name a folder for everything below it. A NAME typed as UTF-8 text\n"
    "is turned back into the stored bytes.\n"
    "Exit status: 0 every selected file written, 1 otherwise or a NAME selected\n"
    "nothing (the reason on stderr), 2 wrong command line.\n";

namespace {

const std::vector<OptionSpec> kCatOptions = {
    {'0', "null", false},
    {'T', "files-from", true},
};

int CannotWriteOutput(const std::string& command)
{
    std::fprintf(stderr, "tarnvol %s: cannot write to standard output\n", command.c_str());
    return 1;
}

// Writes the stored bytes of one chosen entry to `out`; false only when
// standard output cannot be written. An entry that cannot be written is
// named on stderr, and sets `failed`.
bool WriteEntry(const std::string& command, VolumeFile& file, StoredEntry& e, tarnwick::os::StreamOutput& out,
                bool& failed)
{
    auto tell = [&](std::string_view name, const std::string& why) {
        failed = true;
        std::fprintf(stderr, "tarnvol %s: %s: %s\n", command.c_str(), ShownName(name).c_str(),
                     ShownMessage(why).c_str());
    };
    if (!file.Locate(e)) {
        tell(e.name, "damaged: " + file.Problem());
        return true;
    }
    if (e.method != 0) {
        tell(e.name, "stored with method " + std::to_string(e.method) + " (" +
                         tarnwick::VolumeIndex::MethodName(e.method) + "), which is not supported");
        return true;
    }
    const auto read =
        file.ReadData(e, [&out](const char* data, std::int64_t count) { return out.Write(data, count); });
    if (read == VolumeFile::DataRead::Unreadable)
        tell(e.name, "cannot read its data");
    return read != VolumeFile::DataRead::Refused;
}

} // namespace

int WriteSelected(const std::string& command, const std::string& volume, const std::vector<std::string>& patterns,
                  bool all, bool once)
{
    VolumeFile file;
    if (!file.Open(command, volume))
        return 1;
    tarnwick::os::StreamOutput out;
    if (!out.IsOpen())
        return CannotWriteOutput(command);
    bool failed = false, missing = false, written = true;
    std::unordered_set<std::string_view> seen;
    const bool walked = ForEachChosen(command, file, patterns, all, [&](StoredEntry& e) {
        if (once && !seen.insert(e.name).second)
            return true;
        written = WriteEntry(command, file, e, out, failed);
        return written;
    }, missing);
    if (!written)
        return CannotWriteOutput(command);
    if (!out.Close())
        return CannotWriteOutput(command);
    return failed || missing || !walked ? 1 : 0;
}

int RunCat(const std::vector<std::string>& args)
{
    const auto line = ParseCommandLine("cat", args, kCatOptions);
    if (!line)
        return 2;
    const std::vector<std::string> lists = line->Values("files-from");
    if (line->operands.empty() || (line->operands.size() < 2 && lists.empty()))
        return UsageError("cat", "give the VOLUME and at least one NAME");
    const std::vector<std::string> typed(line->operands.begin() + 1, line->operands.end());
    const auto patterns = GatherNames("cat", typed, lists, line->Has("null"));
    if (!patterns)
        return 1;
    return WriteSelected("cat", line->operands[0], *patterns, false, false);
}

} // namespace tarnvol
