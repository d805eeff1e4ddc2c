#include "Commands.h"
#include "NameArguments.h"
#include "ReadVolume.h"
#include "StoredNames.h"

#include "extraction/clsExtract.h"
#include "os/Files.h"
#include "os/System.h"

#include <cstdio>
#include <optional>
#include <unordered_set>

namespace tarnvol {

const char* kExtractHelp =
    "Usage: tarnvol extract [OPTIONS] VOLUME DEST [NAME...]\n"
    "       tarnvol extract [OPTIONS] -C DEST VOLUME [NAME...]\n"
    "Extracts the stored files the NAMEs select (all of them when no NAME and no\n"
    "LIST is given) into the folder DEST, running the extractor once per file,\n"
    "as Tarnwick does. Each file is written under its stored name, in its\n"
    "stored case, whatever case the NAME was typed in. DEST is made, with the\n"
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
    "  --extractor=PATH  the extractor to run (default: the one beside tarnvol);\n"
    "                    a PATH that names no program is refused\n"
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

// The stored names the NAMEs and LISTs select, into `names`; the exit status
// when the command ends here. `failed` tells that some NAME selected nothing
// or some name cannot be extracted.
std::optional<int> SelectNamed(const ExtractLine& given, std::vector<std::string>& names, bool& failed)
{
    const auto patterns = GatherNames("extract", given.typed, given.lists, given.null);
    if (!patterns)
        return 1;
    VolumeFile file;
    if (!file.Open("extract", given.volume))
        return 1;
    // The stored names, so that each file lands under its stored case;
    // a name stored twice is extracted once (the extractor takes the first).
    // Entries naming one place in the name block share its bytes: those are
    // known by where they stand before their bytes are compared. A hostile
    // volume's entries may each name a megabyte: such a name is told, never
    // copied.
    std::unordered_set<const char*> places;
    std::unordered_set<std::string_view> seen;
    bool tooLong = false, missing = false;
    if (!ForEachChosen("extract", file, *patterns, false, [&](StoredEntry& e) {
            if (!places.insert(e.name.data()).second)
                return true;
            if (e.name.size() > kLongestPath) {
                tooLong = true;
                std::fprintf(stderr, "tarnvol extract: %s was not extracted: its name is %llu bytes, longer than any path\n",
                             Shortened(e.name).c_str(), static_cast<unsigned long long>(e.name.size()));
            } else if (seen.insert(e.name).second) {
                names.emplace_back(e.name);
            }
            return true;
        }, missing))
        return 1;
    failed = missing || tooLong;
    if (names.empty())
        return failed ? 1 : 0; // an empty list selects nothing, and asks for nothing
    return std::nullopt;
}

// Every name the volume lists, into `names`; the exit status when the
// command ends here.
std::optional<int> SelectAll(const std::string& volume, std::vector<std::string>& names)
{
    tarnwick::clsVOLReader reader;
    if (!ReadVolume("extract", reader, volume))
        return 1;
    for (std::size_t i = 0; i < reader.TableSize(); ++i)
        if (!reader.TableName(i).empty())
            names.emplace_back(reader.StoredName(i));
    if (names.empty())
        return 0; // nothing stored, nothing to do
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

// Runs the extraction job over `names`, telling its progress and every name
// it did not extract on stderr; the exit status.
int RunJob(const ExtractLine& given, const std::vector<std::string>& names, bool failedBefore)
{
    tarnwick::clsExtract job;
    job.SetRecreateStructure(!given.flat);
    job.SetOverwrite(given.overwrite);
    job.SetNames(names);
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
    job.E_Outcome = [&](const std::string& name, const std::string& output, Outcome outcome) {
        ++told;
        if (outcome == Outcome::Extracted) {
            ++extracted;
            bytes += static_cast<std::uint64_t>(tarnwick::os::FileLength(output).value_or(0));
        } else if (outcome == Outcome::Declined) {
            std::fprintf(stderr, "tarnvol extract: %s: kept, a file of that name exists (--overwrite replaces it)\n",
                         ShownName(name).c_str());
        } else {
            std::fprintf(stderr, "tarnvol extract: %s was not extracted\n", ShownName(name).c_str());
        }
    };
    job.Extract(given.volume, {}, given.destination, given.extractor);
    // A job that stopped early (no volume, no destination, no extractor)
    // has said why: one message is the whole story, not one per name.
    if (told < names.size() && !failed) {
        failed = true;
        std::fprintf(stderr, "tarnvol extract: stopped with %llu files not extracted\n",
                     static_cast<unsigned long long>(names.size() - told));
    }
    if (given.progress)
        std::fprintf(stderr, "tarnvol extract: %llu %s, %s into %s\n", static_cast<unsigned long long>(extracted),
                     extracted == 1 ? "file" : "files", Amount(bytes).c_str(), ShownMessage(given.destinationTyped).c_str());
    return !failed && extracted == names.size() ? 0 : 1;
}

} // namespace

int RunExtract(const std::vector<std::string>& args)
{
    const auto line = ParseExtractLine(args);
    if (!line)
        return 2;
    const bool named = !line->typed.empty() || !line->lists.empty();
    if (line->toOutput) {
        const auto patterns = GatherNames("extract", line->typed, line->lists, line->null);
        return patterns ? WriteSelected("extract", line->volume, *patterns, !named, true) : 1;
    }
    std::vector<std::string> names;
    bool failed = false;
    if (const auto ended = named ? SelectNamed(*line, names, failed) : SelectAll(line->volume, names))
        return *ended;
    // Made only now: a volume that cannot be read leaves no folder behind.
    if (!MakeDestination(line->destination))
        return 1;
    return RunJob(*line, names, failed);
}

} // namespace tarnvol
