#include "Commands.h"
#include "ReadVolume.h"

#include "extraction/clsExtract.h"
#include "platform/os/Files.h"

#include <cstdio>

namespace tarnvol {

const char* kExtractHelp =
    "Usage: tarnvol extract [--flat] [--overwrite] [--extractor PATH] VOLUME DEST [NAME...]\n"
    "Extracts the named stored files (all of them when no NAME is given) into\n"
    "the folder DEST, running the extractor once per file, as Tarnwick does.\n"
    "  --flat            put every file straight into DEST instead of re-creating\n"
    "                    the volume's folders below it\n"
    "  --overwrite       replace files that are already there; without it they\n"
    "                    are kept, and said so on stderr\n"
    "  --extractor PATH  the extractor to run (default: the one beside tarnvol)\n"
    "Progress goes to stderr as 'NN% name' lines.\n"
    "Exit status: 0 every file extracted, 1 otherwise, 2 wrong command line.\n";

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
            if (++i == args.size())
                return UsageError("extract", "--extractor needs a PATH");
            extractor = args[i];
        } else if (options && a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return UsageError("extract", "unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() < 2)
        return UsageError("extract", "give the VOLUME and the DEST folder");
    const std::string volume = positional[0];
    const std::string destination = positional[1];

    std::vector<std::string> names(positional.begin() + 2, positional.end());
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
    std::string list;
    for (const std::string& n : names) {
        if (n.empty() || n.find(',') != std::string::npos) {
            std::fprintf(stderr, "tarnvol extract: '%s' cannot be extracted: names are joined by commas\n", n.c_str());
            return 1;
        }
        list += (list.empty() ? "" : ",") + n;
    }

    tarnwick::clsExtract job;
    job.SetRecreateStructure(!flat);
    job.SetOverwrite(overwrite);
    bool failed = false;
    std::size_t extracted = 0;
    job.E_Percent = [](std::int16_t value, const std::string& name) {
        std::fprintf(stderr, "%3d%% %s\n", value, name.c_str());
    };
    job.E_Error = [&failed](std::int16_t number, const std::string& message) {
        failed = true;
        std::fprintf(stderr, "tarnvol extract: [%d] %s\n", number, message.c_str());
    };
    job.AskOverwrite = [](const std::string& question) {
        std::fprintf(stderr, "tarnvol extract: %s No (kept; --overwrite replaces it)\n", question.c_str());
        return tarnwick::MsgAnswer::No;
    };
    using Outcome = tarnwick::clsExtract::Outcome;
    job.E_Outcome = [&](const std::string& name, const std::string&, Outcome outcome) {
        if (outcome == Outcome::Extracted) {
            ++extracted;
        } else if (outcome == Outcome::Failed) {
            failed = true;
            std::fprintf(stderr, "tarnvol extract: %s was not extracted\n", name.c_str());
        }
    };
    job.Extract(volume, list, destination, extractor);
    return !failed && extracted == names.size() ? 0 : 1;
}

} // namespace tarnvol
