#include "Commands.h"
#include "ReadVolume.h"
#include "StoredNames.h"

#include "extraction/clsExtract.h"
#include "platform/os/Files.h"

#include <cstdio>
#include <optional>

namespace tarnvol {

const char* kExtractHelp =
    "Usage: tarnvol extract [--flat] [--overwrite] [--extractor PATH] VOLUME DEST [NAME...]\n"
    "Extracts the named stored files (all of them when no NAME is given) into\n"
    "the folder DEST, running the extractor once per file, as Tarnwick does.\n"
    "A NAME is written as 'tarnvol list' shows it (backslashes between folders);\n"
    "a NAME that is not UTF-8 text is taken as the stored bytes themselves, as\n"
    "'tarnvol list -0' gives them.\n"
    "  --flat            put every file straight into DEST instead of re-creating\n"
    "                    the volume's folders below it\n"
    "  --overwrite       replace files that are already there; without it they\n"
    "                    are kept, and said so on stderr\n"
    "  --extractor PATH  the extractor to run (default: the one beside tarnvol);\n"
    "                    a PATH that names no program is refused\n"
    "Progress goes to stderr as 'NN% name' lines; every name that was not\n"
    "extracted is named there.\n"
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

} // namespace

int RunExtract(const std::vector<std::string>& args)
{
    bool flat = false, overwrite = false;
    std::string extractor;
    std::vector<std::string> positional;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--flat") {
            flat = true;
        } else if (options && a == "--overwrite") {
            overwrite = true;
        } else if (options && a == "--extractor") {
            if (++i == args.size() || args[i].empty())
                return UsageError("extract", "--extractor needs a PATH");
            extractor = args[i];
        } else if (options && a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return UsageError("extract", "unknown option " + ShownMessage(a));
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() < 2)
        return UsageError("extract", "give the VOLUME and the DEST folder");
    // The job would quietly fall back to the extractor beside tarnvol.
    if (!extractor.empty()) {
        if (auto why = NoProgram(extractor))
            return UsageError("extract", "the extractor " + ShownMessage(extractor) + " " + *why);
        extractor = Absolute(extractor);
    }
    const std::string volume = Absolute(positional[0]);
    const std::string destination = Absolute(positional[1]);

    std::vector<std::string> names;
    for (auto it = positional.begin() + 2; it != positional.end(); ++it)
        names.push_back(StoredNameOf(*it));
    if (names.empty()) {
        tarnwick::clsVOLReader reader;
        if (!ReadVolume(reader, volume))
            return 1;
        for (std::size_t i = 0; i < reader.TableSize(); ++i)
            if (!reader.TableName(i).empty())
                names.emplace_back(reader.TableName(i));
        if (names.empty())
            return 0; // nothing stored, nothing to do
    }

    tarnwick::clsExtract job;
    job.SetRecreateStructure(!flat);
    job.SetOverwrite(overwrite);
    job.SetNames(names);
    bool failed = false;
    using Outcome = tarnwick::clsExtract::Outcome;
    // One outcome per name, told in the order of the list.
    std::size_t told = 0, extracted = 0;
    job.E_Percent = [](std::int16_t value, const std::string& name) {
        std::fprintf(stderr, "%3d%% %s\n", value, ShownName(name).c_str());
    };
    job.E_Error = [&failed](std::int16_t number, const std::string& message) {
        failed = true;
        std::fprintf(stderr, "tarnvol extract: [%d] %s\n", number, ShownMessage(message).c_str());
    };
    job.AskOverwrite = [](const std::string& question) {
        std::fprintf(stderr, "tarnvol extract: %s No (kept; --overwrite replaces it)\n", ShownMessage(question).c_str());
        return tarnwick::MsgAnswer::No;
    };
    job.E_Outcome = [&](const std::string& name, const std::string&, Outcome outcome) {
        ++told;
        if (outcome == Outcome::Extracted)
            ++extracted;
        else
            std::fprintf(stderr, "tarnvol extract: %s was not extracted\n", ShownName(name).c_str());
    };
    job.Extract(volume, {}, destination, extractor);
    // A job that stopped early (no volume, no destination, no extractor)
    // told nothing of the names it never reached.
    for (std::size_t i = told; i < names.size(); ++i)
        std::fprintf(stderr, "tarnvol extract: %s was not extracted\n", ShownName(names[i]).c_str());
    return !failed && extracted == names.size() ? 0 : 1;
}

} // namespace tarnvol
