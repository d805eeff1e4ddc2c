#include "Commands.h"
#include "NameArguments.h"
#include "ReadVolume.h"
#include "StoredNames.h"

#include "os/System.h"

#include <cinttypes>
#include <cstdio>

namespace tarnvol {

const char* kListHelp =
    "Usage: tarnvol list [-0lv] [-T LIST] VOLUME [NAME...]\n"
    "Prints the entries of the volume's file table, one a line, in stored order:\n"
    "all of them, or those the NAMEs select. An empty stored name gives an empty\n"
    "line. Names are shown as text (the volume stores them in Windows-1252),\n"
    "backslashes between their folders, and control characters escaped: \\n,\n"
    "\\t, \\r, otherwise \\xHH with the stored byte. A name never takes more than\n"
    "one line.\n"
    "  -l, --long       before each name: its SIZE in bytes, its storage METHOD\n"
    "                   (stored; compressed: rle, lz, lzh) and the OFFSET in the\n"
    "                   file where its bytes start, separated by blanks\n"
    "  -v, --verbose    the same as -l\n"
    "  -0, --null       for scripts: each name exactly as stored (its bytes, not\n"
    "                   converted), ended by a NUL byte instead of a newline; on a\n"
    "                   terminal the names are shown as above all the same. The\n"
    "                   LIST of -T is read NUL-separated, as stored bytes.\n"
    "  -T, --files-from=LIST  also select the names in the file LIST (- for\n"
    "                   standard input), one a line\n"
    "A NAME may use / for \\, the wildcards * and ? (letters match in either\n"
    "case), and name a folder for everything below it. A NAME typed as UTF-8 text\n"
    "is turned back into the stored bytes.\n"
    "Exit status: 0 listed, 1 the volume could not be read or a NAME selected\n"
    "nothing (the reason on stderr), 2 wrong command line.\n";

namespace {

const std::vector<OptionSpec> kListOptions = {
    {'0', "null", false},
    {'l', "long", false},
    {'v', "verbose", false},
    {'T', "files-from", true},
};

// Ends the name as the output wants it: its bytes and a NUL for a script,
// shown text and a newline for a person.
void AppendName(std::string& out, std::string_view stored, bool raw)
{
    if (raw) {
        out += stored;
        out += '\0';
    } else {
        out += ShownName(stored);
        out += '\n';
    }
}

bool Emit(const std::string& out)
{
    return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0;
}

} // namespace

int RunList(const std::vector<std::string>& args)
{
    const auto line = ParseCommandLine("list", args, kListOptions);
    if (!line)
        return 2;
    if (line->operands.empty())
        return UsageError("list", "give the VOLUME");
    const bool null = line->Has("null");
    const bool detailed = line->Has("long") || line->Has("verbose");
    const std::string& volume = line->operands[0];
    const std::vector<std::string> typed(line->operands.begin() + 1, line->operands.end());
    const std::vector<std::string> lists = line->Values("files-from");
    // A person reading a terminal must never have a name act on it.
    const bool raw = null && !tarnwick::os::StandardOutputIsTerminal();

    if (!detailed && typed.empty() && lists.empty()) {
        // The plain listing reads the volume as the window does.
        tarnwick::clsVOLReader reader;
        if (!ReadVolume("list", reader, volume))
            return 1;
        std::string out;
        out.reserve(static_cast<std::size_t>(reader.VOLS()) + 1);
        for (std::size_t i = 0; i < reader.TableSize(); ++i)
            AppendName(out, reader.StoredName(i), raw);
        return Emit(out) ? 0 : 1;
    }

    const auto patterns = GatherNames("list", typed, lists, null);
    if (!patterns)
        return 1;
    VolumeFile file;
    if (!file.Open("list", volume))
        return 1;
    std::string out;
    bool missing = false, emitted = true;
    const bool all = typed.empty() && lists.empty();
    const bool walked = ForEachChosen("list", file, *patterns, all, [&](StoredEntry& e) {
        if (detailed) {
            // Where the bytes start; the index's own offset when they cannot
            // be found (tarnvol test tells why).
            const std::int64_t offset = file.Locate(e) ? e.dataOffset : e.blockOffset;
            char columns[64];
            std::snprintf(columns, sizeof columns, "%10" PRId64 " %-6s %10" PRId64 " ", e.length,
                          MethodColumn(e.method).c_str(), offset);
            out += columns;
        }
        AppendName(out, e.name, raw);
        // Out a megabyte at a time: an index may list millions of entries.
        if (out.size() < (1 << 20))
            return true;
        emitted = Emit(out);
        out.clear();
        return emitted;
    }, missing);
    if (!walked || !emitted)
        return 1;
    if (!Emit(out))
        return 1;
    return missing ? 1 : 0;
}

} // namespace tarnvol
