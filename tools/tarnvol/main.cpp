// tarnvol: the command-line companion of Tarnwick, for scripters and tests.
#include "Commands.h"
#include "StoredNames.h"
#include "os/System.h"

#include <cstdio>
#include <string>
#include <vector>

namespace tarnvol {

namespace {

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    const char* const* help; // the address: the text is defined in the command's file
};

const Command kCommands[] = {
    {"list", RunList, &kListHelp},
    {"info", RunInfo, &kInfoHelp},
    {"extract", RunExtract, &kExtractHelp},
    {"pack", RunPack, &kPackHelp},
    {"cat", RunCat, &kCatHelp},
    {"test", RunTest, &kTestHelp},
    {"add", RunAdd, &kAddHelp},
    {"delete", RunDelete, &kDeleteHelp},
};

// 7z's one-letter commands, for hands used to them.
struct Alias {
    const char* alias;
    const char* command;
};

const Alias kAliases[] = {
    {"a", "add"},
    {"d", "delete"},
    {"l", "list"},
    {"t", "test"},
    {"x", "extract"},
};

// The command's own name for what was typed; as typed when it is none.
std::string CommandNamed(const std::string& typed)
{
    for (const Alias& a : kAliases)
        if (typed == a.alias)
            return a.command;
    return typed;
}

#define TARNVOL_TEXT2(x) #x
#define TARNVOL_TEXT(x) TARNVOL_TEXT2(x)
const char* kVersion = "tarnvol " TARNVOL_TEXT(TARNWICK_VERSION_MAJOR) "." TARNVOL_TEXT(
    TARNWICK_VERSION_MINOR) "." TARNVOL_TEXT(TARNWICK_VERSION_REVISION) "\n";

const char* kToolHelp =
    "Usage: tarnvol COMMAND [OPTIONS] [ARGUMENTS]\n"
    "       tarnvol --help | --version\n"
    "Reads and writes Starsiege: Tribes 1.X volumes (.vol).\n"
    "\n"
    "Commands:\n"
    "  list [-0lv] [-T LIST] VOLUME [NAME...]  the stored names (-l: size, method, offset)\n"
    "  info VOLUME                             the directory values and the volume's size\n"
    "  cat [-0] [-T LIST] VOLUME NAME...       the stored bytes of files to standard output\n"
    "  test [-0] [-T LIST] VOLUME [NAME...]    read every entry; report damaged and compressed ones\n"
    "  extract [OPTIONS] VOLUME DEST [NAME...] write stored files into the folder DEST\n"
    "  pack [-C DIR] OUTPUT.vol FILE...        write a volume of the given files and folders\n"
    "  add [-C DIR] VOLUME FILE...             store files in a volume; a stored name is replaced\n"
    "  delete [-0] [-T LIST] VOLUME NAME...    remove the selected entries from a volume\n"
    "7z's letters name commands too: a (add), d (delete), l (list), t (test),\n"
    "x (extract).\n"
    "\n"
    "A NAME may use / for \\, the wildcards * and ? (letters match in either case,\n"
    "as the game finds files), and name a folder for everything below it; a NAME\n"
    "that selects nothing is an error. Options may stand before or after the\n"
    "operands; -- ends them. 'tarnvol COMMAND --help' describes one command.\n"
    "Exit status: 0 success, 1 failure, 2 wrong command line.\n";

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h"; }

} // namespace

int UsageError(const std::string& command, const std::string& message)
{
    std::string where = command.empty() ? "tarnvol" : "tarnvol " + command;
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", where.c_str(), message.c_str(), where.c_str());
    return 2;
}

std::optional<OptionLine> ParseCommandLine(const std::string& command, const std::vector<std::string>& args,
                                           const std::vector<OptionSpec>& specs)
{
    OptionLine line = ParseOptionLine(args, specs);
    if (!line.error.empty()) {
        UsageError(command, ShownMessage(line.error));
        return std::nullopt;
    }
    return line;
}

} // namespace tarnvol

int main(int argc, char** argv)
{
    tarnwick::os::RestrictLibrarySearch();
    using namespace tarnvol;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kToolHelp, stderr);
        return 2;
    }
    if (IsHelp(args[0])) {
        std::fputs(kToolHelp, stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::fputs(kVersion, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (args[0].size() > 1 && args[0][0] == '-')
        return UsageError("", "unknown option " + ShownMessage("'" + args[0] + "'"));
    const std::string named = CommandNamed(args[0]);
    for (const Command& c : kCommands) {
        if (named != c.name)
            continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const std::string& a : rest) {
            if (a == "--")
                break;
            if (IsHelp(a)) {
                std::fputs(*c.help, stdout);
                return 0;
            }
        }
        return c.run(rest);
    }
    return UsageError("", "unknown command " + ShownMessage("'" + args[0] + "'"));
}
