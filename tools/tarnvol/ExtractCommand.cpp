#include "Commands.h"
#include "NameArguments.h"
#include "ReadVolume.h"
#include "StoredNames.h"

#include "extraction/StoredFileCopy.h"
#include "extraction/clsExtract.h"
#include "os/Files.h"
#include "os/System.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>
#include <tuple>

namespace tarnvol {

const char* kExtractHelp =
    "Usage: tarnvol extract [OPTIONS] VOLUME DEST [NAME...]\n"
    "       tarnvol extract [OPTIONS] -C DEST VOLUME [NAME...]\n"
    "Extracts the stored files the NAMEs select (all of them when no NAME and no\n"
    "LIST is given) into the folder DEST, by the rules Tarnwick extracts by:\n"
    "nothing lands outside DEST, by a name or through a link; the programs'\n"
    "own files are refused; a file appears whole or not at all. Each file is\n"
    "written under its stored name, in its stored case, whatever case the NAME\n"
    "was typed in; a name stored twice is extracted once, from its first entry. DEST is made, with the\n"
    "folders above it, when it is missing. A DEST of - writes the files' bytes\n"
    "to standard output instead, in stored order, one after the other.\n"
    "A NAME may use / for \\, the wildcards * and ? (letters match in either\n"
    "case), and name a folder for everything below it. A NAME typed as UTF-8 text\n"
    "is turned back into the stored bytes; one that is not UTF-8 is taken as the\n"
    "stored bytes themselves, as 'tarnvol list -0' gives them.\n"
    "  -C, --directory=DIR  DIR is DEST (the operands are then VOLUME [NAME...])\n"
    "  --flat            put every file straight into DEST instead of re-creating\n"
    "                    the volume's folders below it\n"
    "  -k, --keep, --keep-old-files  never replace a file that is already there:\n"
    "                    it is kept and named on stderr, and the exit status is 1,\n"
    "                    as with tar -k (the default)\n"
    "  --overwrite       replace files that are already there, without asking\n"
    "                    (the last of -k and --overwrite counts)\n"
    "  -v, --verbose     tell the progress even when not on a terminal\n"
    "  -q, --quiet       tell nothing but errors\n"
    "  --extractor=PATH  run the extractor PATH once per file, as Tarnwick does,\n"
    "                    instead of writing the files in this process; a PATH\n"
    "                    that names no program is refused\n"
    "  -T, --files-from=LIST  also the names in the file LIST (- for standard\n"
    "                    input), one a line\n"
    "  -0, --null        the LIST is NUL-separated and holds the stored bytes\n"
    "When standard output is a terminal (or with -v) the progress goes to stderr\n"
    "as 'NN% name' lines, and one line ends it: 'tarnvol extract: N files, SIZE\n"
    "into DEST'. Every name that was not extracted, and every NAME that selected\n"
    "nothing, is named on stderr all the same.\n"
    "Exit status: 0 every file extracted, 1 otherwise, 2 wrong command line.\n";

namespace {

// The path as the job needs it: the job creates folders from the root down
// and the extractor runs with a command line of its own, so a relative path
// would name nothing reliable. As given when the current folder is unknown.
std::string Absolute(const std::string& path)
{
    std::string full = tarnwick::os::AbsolutePath(path);
    return full.empty() ? path : full;
}

// Why PATH cannot serve as the extractor; nothing when it can.
std::optional<std::string> NoProgram(const std::string& path)
{
    if (tarnwick::os::IsPlainFolder(path))
        return "is a folder";
    if (!tarnwick::os::IsPlainFile(path))
        return "not found";
    if (!tarnwick::os::IsProgramFile(path))
        return "is not a program that can be run";
    return std::nullopt;
}

// What extract's command line asks for, its paths made absolute.
struct ExtractLine {
    bool flat = false, overwrite = false, null = false;
    bool toOutput = false; // DEST is -: the bytes go to standard output
    bool progress = false; // tell each file and the sum of the run
    std::string extractor; // empty: the job's own choice
    std::string volume, destination;
    std::string destinationTyped; // as the user wrote it, for the closing line
    std::vector<std::string> typed, lists; // the NAMEs and the -T LISTs
};

// The command line taken apart; nothing, after the usage message has gone
// out, when it is wrong.
std::optional<ExtractLine> ParseExtractLine(const std::vector<std::string>& args)
{
    static const std::vector<OptionSpec> kOptions = {
        {0, "flat", false},
        {0, "overwrite", false},
        {'k', "keep", false},
        {0, "keep-old-files", false},
        {'q', "quiet", false},
        {'v', "verbose", false},
        {0, "extractor", true},
        {'0', "null", false},
        {'T', "files-from", true},
        {'C', "directory", true},
    };
    const auto wrong = [](const std::string& message) -> std::optional<ExtractLine> {
        UsageError("extract", message);
        return std::nullopt;
    };
    const auto line = ParseCommandLine("extract", args, kOptions);
    if (!line)
        return std::nullopt;
    ExtractLine given;
    given.flat = line->Has("flat");
    // Whichever of keeping and replacing was asked for last, as getopt
    // programs let a later option undo an earlier one (an alias, say).
    for (const OptionLine::Given& g : line->options) {
        if (g.key == "overwrite")
            given.overwrite = true;
        else if (g.key == "keep" || g.key == "keep-old-files")
            given.overwrite = false;
    }
    given.progress =
        !line->Has("quiet") && (line->Has("verbose") || tarnwick::os::StandardOutputIsTerminal());
    given.null = line->Has("null");
    const auto extractors = line->Values("extractor");
    given.extractor = extractors.empty() ? std::string() : extractors.back();
    if (!extractors.empty() && given.extractor.empty())
        return wrong("--extractor needs a PATH");
    const std::vector<std::string>& positional = line->operands;
    given.lists = line->Values("files-from");
    const auto directories = line->Values("directory");
    if (!directories.empty() && directories.back().empty())
        return wrong("-C needs a DIR");
    // -C names DEST, so that every operand after the VOLUME is a NAME.
    const std::size_t firstName = directories.empty() ? 2 : 1;
    if (positional.size() < firstName)
        return wrong(directories.empty() ? "give the VOLUME and the DEST folder" : "give the VOLUME");
    // The job would quietly fall back to the extractor beside tarnvol.
    if (!given.extractor.empty()) {
        if (auto why = NoProgram(given.extractor))
            return wrong("the extractor " + ShownMessage(given.extractor) + " " + *why);
        given.extractor = Absolute(given.extractor);
    }
    given.volume = Absolute(positional[0]);
    // "-C -" names a folder called "-", as tar's does.
    const std::string dest = directories.empty() ? positional[1] : directories.back();
    given.toOutput = directories.empty() && dest == "-";
    given.destination = given.toOutput ? dest : Absolute(dest);
    given.destinationTyped = dest;
    given.typed.assign(positional.begin() + static_cast<std::ptrdiff_t>(firstName), positional.end());
    return given;
}

// The longest stored name worth handing to the job: no disk takes a longer
// path (Linux's PATH_MAX; Windows' own limit is shorter still).
constexpr std::size_t kLongestPath = 4096;

// A name too long to tell whole, shortened.
std::string Shortened(std::string_view name)
{
    constexpr std::size_t kShown = 40;
    return name.size() <= kShown ? ShownName(name) : ShownName(name.substr(0, kShown)) + "...";
}

// The entries to extract, by their number in the index.
struct Chosen {
    std::vector<bool> take;
    std::size_t count = 0;
};

// Leaves each name once, at its first entry, as the extractor takes the
// first. The names are known by where they stand in the name block before
// their bytes are weighed: a hostile volume's thousands of entries naming
// one long name cost a sort of their places, not a look at each name. What
// stays is held 16 bytes an entry, so a volume of a million names needs
// 16 MB for it, and only for the moment.
void DropRepeatedNames(VolumeFile& file, Chosen& chosen)
{
    struct Seen {
        std::uint32_t hash, at, length, number;
    };
    std::vector<Seen> seen;
    seen.reserve(chosen.count);
    StoredEntry e;
    for (std::size_t i = 0; i < chosen.take.size(); ++i)
        if (chosen.take[i] && file.EntryAt(static_cast<std::int64_t>(i), e))
            seen.push_back({0, static_cast<std::uint32_t>(file.NameOffset(e.name)),
                            static_cast<std::uint32_t>(e.name.size()), static_cast<std::uint32_t>(i)});
    const auto drop = [&chosen](const Seen& s) {
        chosen.take[s.number] = false;
        --chosen.count;
    };
    const auto place = [](const Seen& a, const Seen& b) {
        return std::tie(a.at, a.length, a.number) < std::tie(b.at, b.length, b.number);
    };
    std::sort(seen.begin(), seen.end(), place);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (kept > 0 && seen[kept - 1].at == seen[i].at && seen[kept - 1].length == seen[i].length)
            drop(seen[i]);
        else
            seen[kept++] = seen[i];
    }
    seen.resize(kept);
    // Names stored twice at different places: equal bytes, found by a hash
    // and confirmed byte for byte.
    const std::string_view block = file.NameBlock();
    const auto bytes = [block](const Seen& s) { return block.substr(s.at, s.length); };
    for (Seen& s : seen)
        s.hash = static_cast<std::uint32_t>(std::hash<std::string_view>()(bytes(s)));
    std::sort(seen.begin(), seen.end(), [&](const Seen& x, const Seen& y) {
        if (x.hash != y.hash || x.length != y.length)
            return std::tie(x.hash, x.length) < std::tie(y.hash, y.length);
        const int c = bytes(x).compare(bytes(y));
        return c != 0 ? c < 0 : x.number < y.number;
    });
    for (std::size_t i = 1; i < seen.size(); ++i) {
        const Seen& x = seen[i - 1];
        const Seen& y = seen[i];
        if (x.hash == y.hash && x.length == y.length && bytes(x) == bytes(y))
            drop(y);
    }
}

// The entries the NAMEs and LISTs select (every entry when none is given);
// the exit status when the command ends here. `failed` tells that some NAME
// selected nothing or some name cannot be extracted.
std::optional<int> Choose(const ExtractLine& given, VolumeFile& file, Chosen& chosen, bool& failed)
{
    const bool all = given.typed.empty() && given.lists.empty();
    const auto patterns = GatherNames("extract", given.typed, given.lists, given.null);
    if (!patterns)
        return 1;
    if (!file.Open("extract", given.volume))
        return 1;
    chosen.take.assign(static_cast<std::size_t>(file.Count()), false);
    // A hostile volume's entries may each name a megabyte: such a name is
    // told, never copied.
    bool tooLong = false, missing = false;
    if (!ForEachChosen("extract", file, *patterns, all, [&](StoredEntry& e) {
            if (e.name.empty())
                return true; // names nothing to extract
            if (e.name.size() > kLongestPath) {
                tooLong = true;
                std::fprintf(stderr, "tarnvol extract: %s was not extracted: its name is %llu bytes, longer than any path\n",
                             Shortened(e.name).c_str(), static_cast<unsigned long long>(e.name.size()));
                return true;
            }
            chosen.take[static_cast<std::size_t>(e.number)] = true;
            ++chosen.count;
            return true;
        }, missing))
        return 1;
    failed = missing || tooLong;
    DropRepeatedNames(file, chosen);
    if (chosen.count == 0)
        return failed ? 1 : 0; // nothing selected, nothing to do
    return std::nullopt;
}

// Makes DEST, with its parents, when it is missing; false, told once, when
// it is not a folder and cannot become one.
bool MakeDestination(const std::string& destination)
{
    if (tarnwick::os::IsPlainFolder(destination))
        return true;
    const bool occupied = tarnwick::os::PlainExists(destination);
    if (!occupied && tarnwick::os::CreateFolderTree(destination))
        return true;
    std::fprintf(stderr, "tarnvol extract: cannot extract into %s: %s\n", ShownMessage(destination).c_str(),
                 occupied ? "it is not a folder" : "the folder cannot be made");
    return false;
}

// A count of bytes as a person reads it.
std::string Amount(std::uint64_t bytes)
{
    char text[32];
    if (bytes < 1024)
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    else if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%llu KB", static_cast<unsigned long long>((bytes + 512) / 1024));
    else
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

// Runs the extraction job over the chosen entries, telling its progress and
// every name it did not extract on stderr; the exit status.
int RunJob(const ExtractLine& given, VolumeFile& file, const Chosen& chosen, bool failedBefore)
{
    tarnwick::clsExtract job;
    job.SetRecreateStructure(!given.flat);
    job.SetOverwrite(given.overwrite);
    // The names go to the job one at a time, straight from the index, so
    // that a volume of a million names is never held as a list of them.
    StoredEntry current;
    std::size_t number = 0;
    bool unreadable = false;
    job.SetNameSource(chosen.count, [&](std::string& name) {
        while (number < chosen.take.size() && !chosen.take[number])
            ++number;
        if (number == chosen.take.size())
            return false;
        if (!file.EntryAt(static_cast<std::int64_t>(number++), current)) {
            unreadable = true;
            return false;
        }
        name.assign(current.name);
        return true;
    });
    if (given.extractor.empty()) {
        const auto read = [&file](std::int64_t offset, void* buffer, std::int64_t count) {
            return file.Read(offset, buffer, count);
        };
        job.WriteStoredFile = [&given, &file, &current, read](const std::string& storedName, const std::string& output, std::string& errors) {
            StoredEntry e = current;
            tarnwick::CopyResult done;
            if (!file.Locate(e))
                done = {tarnwick::CopyStatus::Damaged, file.Problem()};
            else
                done = tarnwick::CheckMethod(storedName, e.method);
            if (done.Ok())
                done = tarnwick::CopyStoredFile(read, given.volume, e.dataOffset, e.length, storedName, output);
            errors = done.message;
            return static_cast<int>(done.status);
        };
    }
    bool failed = failedBefore;
    using Outcome = tarnwick::clsExtract::Outcome;
    // One outcome per name, told in the order of the list.
    std::size_t told = 0, extracted = 0;
    std::uint64_t bytes = 0;
    if (given.progress)
        job.E_Percent = [](std::int16_t value, const std::string& name) {
            std::fprintf(stderr, "%3d%% %s\n", value, ShownName(name).c_str());
        };
    job.E_Error = [&failed](std::int16_t number, const std::string& message) {
        failed = true;
        std::fprintf(stderr, "tarnvol extract: [%d] %s\n", number, ShownMessage(message).c_str());
    };
    // Asked only without --overwrite: the file there is kept, as tar -k
    // keeps it, and told with the name below.
    job.AskOverwrite = [](const std::string&) { return tarnwick::MsgAnswer::No; };
    job.E_Outcome = [&](const std::string& name, const std::string&, Outcome outcome) {
        ++told;
        if (outcome == Outcome::Extracted) {
            ++extracted;
            bytes += static_cast<std::uint64_t>(current.length);
        } else if (outcome == Outcome::Declined) {
            std::fprintf(stderr, "tarnvol extract: %s: kept, a file of that name exists (--overwrite replaces it)\n",
                         ShownName(name).c_str());
        } else {
            std::fprintf(stderr, "tarnvol extract: %s was not extracted\n", ShownName(name).c_str());
        }
    };
    job.Extract(given.volume, {}, given.destination, given.extractor);
    if (unreadable)
        failed = true; // told by the index's reader
    // A job that stopped early (no volume, no destination, no extractor)
    // has said why: one message is the whole story, not one per name.
    if (told < chosen.count && !failed) {
        failed = true;
        std::fprintf(stderr, "tarnvol extract: stopped with %llu files not extracted\n",
                     static_cast<unsigned long long>(chosen.count - told));
    }
    if (given.progress)
        std::fprintf(stderr, "tarnvol extract: %llu %s, %s into %s\n", static_cast<unsigned long long>(extracted),
                     extracted == 1 ? "file" : "files", Amount(bytes).c_str(), ShownMessage(given.destinationTyped).c_str());
    return !failed && extracted == chosen.count ? 0 : 1;
}

} // namespace

int RunExtract(const std::vector<std::string>& args)
{
    const auto line = ParseExtractLine(args);
    if (!line)
        return 2;
    if (line->toOutput) {
        const bool named = !line->typed.empty() || !line->lists.empty();
        const auto patterns = GatherNames("extract", line->typed, line->lists, line->null);
        return patterns ? WriteSelected("extract", line->volume, *patterns, !named, true) : 1;
    }
    VolumeFile file;
    Chosen chosen;
    bool failed = false;
    if (const auto ended = Choose(*line, file, chosen, failed))
        return *ended;
    // Made only now: a volume that cannot be read leaves no folder behind.
    if (!MakeDestination(line->destination))
        return 1;
    return RunJob(*line, file, chosen, failed);
}

} // namespace tarnvol
