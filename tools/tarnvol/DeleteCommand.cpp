// tarnvol delete: removes entries from a volume, as 7z d and tar --delete do.
#include "Commands.h"
#include "NameArguments.h"
#include "StoredNames.h"
#include "VolumeEdit.h"

#include <cstdio>
#include <string>
#include <vector>

namespace tarnvol {

const char* kDeleteHelp =
    "Usage: tarnvol delete [-0] [-T LIST] VOLUME NAME...\n"
    "Removes from the volume every entry the NAMEs select. Every other entry\n"
    "keeps its bytes, its method and its place; the new volume replaces VOLUME\n"
    "only once it is written completely.\n"
    "  -T, --files-from=LIST  also the names in the file LIST (- for standard\n"
    "                   input), one a line\n"
    "  -0, --null       the LIST is NUL-separated and holds the stored bytes, as\n"
    "                   'tarnvol list -0' writes them\n"
    "A NAME is given as for 'tarnvol list'. Nothing is written when a NAME\n"
    "selects nothing, when no entry would be left (no reader takes a volume\n"
    "without names) or when an entry that stays does not lie in the file; an\n"
    "entry that is removed may be damaged.\n"
    "Exit status: 0 written, 1 it could not be written or a NAME selected\n"
    "nothing (the reason on stderr), 2 wrong command line.\n";

namespace {

const std::vector<OptionSpec> kDeleteOptions = {
    {'0', "null", false},
    {'T', "files-from", true},
};

} // namespace

int RunDelete(const std::vector<std::string>& args)
{
    const auto line = ParseCommandLine("delete", args, kDeleteOptions);
    if (!line)
        return 2;
    const std::vector<std::string> lists = line->Values("files-from");
    if (line->operands.empty() || (line->operands.size() < 2 && lists.empty()))
        return UsageError("delete", "give the VOLUME and at least one NAME");
    const std::string& volume = line->operands[0];
    const std::vector<std::string> typed(line->operands.begin() + 1, line->operands.end());
    const auto patterns = GatherNames("delete", typed, lists, line->Has("null"));
    if (!patterns)
        return 1;

    VolumeEdit edit("delete", volume);
    if (!edit.Open())
        return 1;
    bool missing = false;
    std::size_t removed = 0;
    const bool walked = ForEachEntry("delete", edit.File(), *patterns, [&](StoredEntry& e, bool chosen) {
        if (!chosen)
            return edit.Keep(e);
        ++removed;
        return true;
    }, missing);
    if (!walked || missing)
        return 1;
    if (removed == 0) // an empty list selects nothing, without a fault
        return 0;
    if (edit.Entries().empty()) {
        std::fprintf(stderr, "tarnvol delete: no file would be left in %s; remove the volume itself instead\n",
                     ShownMessage(volume).c_str());
        return 1;
    }
    return edit.Write();
}

} // namespace tarnvol
