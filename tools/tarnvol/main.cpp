// tarnvol: the command-line companion of Tarnwick, for scripters and tests.
#include "Commands.h"
#include "platform/os/System.h"

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
};

const char* kToolHelp =
    "Usage: tarnvol COMMAND [ARGUMENTS]\n"
    "Reads and writes Starsiege: Tribes 1.X volumes (.vol).\n"
    "\n"
    "Commands:\n"
    "  list [-0] VOLUME                  the stored names, one a line, in stored order\n"
    "  info VOLUME                       the directory values and the volume's size\n"
    "  extract VOLUME DEST [NAME...]     extract stored files with the extractor\n"
    "  pack OUTPUT.vol [-C DIR] FILE...  write a volume of the given files and folders\n"
    "\n"
    "'tarnvol COMMAND --help' describes one command.\n"
    "Exit status: 0 success, 1 failure, 2 wrong command line.\n";

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h"; }

} // namespace

int UsageError(const std::string& command, const std::string& message)
{
    std::string where = command.empty() ? "tarnvol" : "tarnvol " + command;
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", where.c_str(), message.c_str(), where.c_str());
    return 2;
}

std::optional<std::vector<std::string>> PlainOperands(const std::string& command,
                                                      const std::vector<std::string>& args)
{
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (const std::string& a : args) {
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            UsageError(command, "unknown option '" + a + "'");
            return std::nullopt;
        }
        operands.push_back(a);
    }
    return operands;
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
    for (const Command& c : kCommands) {
        if (args[0] != c.name)
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
    return UsageError("", "unknown command '" + args[0] + "'");
}
