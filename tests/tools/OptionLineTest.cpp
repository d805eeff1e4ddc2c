// The option parser every tarnvol command shares: the forms getopt_long accepts, and each way a line is wrong.
#include "OptionLine.h"

#include <gtest/gtest.h>

using namespace tarnvol;
using Args = std::vector<std::string>;

namespace {

const std::vector<OptionSpec> kSpecs = {
    {'0', "null", false}, {'l', "long", false}, {'T', "files-from", true}, {0, "extractor", true}, {'v', nullptr, false},
};

// Every option as key=value, then "|", then the operands.
std::string Flat(const OptionLine& line)
{
    std::string s;
    for (const auto& g : line.options)
        s += g.key + "=" + g.value + " ";
    s += "|";
    for (const auto& o : line.operands)
        s += " " + o;
    return s;
}

} // namespace

TEST(OptionLine, AcceptsEveryGetoptForm)
{
    const std::pair<Args, std::string> cases[] = {
        {{"-l0v", "vol"}, "long= null= v= | vol"},
        {{"vol", "-l", "name"}, "long= | vol name"},               // after an operand
        {{"--null", "vol", "--long"}, "null= long= | vol"},
        {{"-T", "list.txt", "vol"}, "files-from=list.txt | vol"},
        {{"-T", "a", "vol", "--files-from=b"}, "files-from=a files-from=b | vol"}, // each kept, in order
        {{"-Tlist.txt", "vol"}, "files-from=list.txt | vol"},      // joined value
        {{"-lT", "list.txt", "vol"}, "long= files-from=list.txt | vol"},
        {{"-lTx", "vol"}, "long= files-from=x | vol"},             // the rest of the word is the value
        {{"--files-from=a=b", "vol"}, "files-from=a=b | vol"},     // only the first '=' splits
        {{"--files-from", "-l", "vol"}, "files-from=-l | vol"},    // a value may look like an option
        {{"--extractor=", "vol"}, "extractor= | vol"},
        {{"-", "vol"}, "| - vol"},                                 // standard input, an operand
        {{"vol", "--", "-l", "--"}, "| vol -l --"},                // "--" ends the options
        {{}, "|"},
    };
    for (const auto& [args, parsed] : cases) {
        const OptionLine line = ParseOptionLine(args, kSpecs);
        EXPECT_EQ(line.error, "") << parsed;
        EXPECT_EQ(Flat(line), parsed);
    }
}

TEST(OptionLine, RefusesAWrongLineWithItsReason)
{
    const std::pair<Args, std::string> cases[] = {
        {{"-x", "vol"}, "unknown option '-x'"},
        {{"-0x", "vol"}, "unknown option '-x'"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"--nul", "vol"}, "unknown option '--nul'"}, // no guessing from a prefix
        {{"--null=yes", "vol"}, "option '--null' takes no value"},
        {{"vol", "-T"}, "option '-T' needs a value"},
        {{"vol", "--extractor"}, "option '--extractor' needs a value"},
    };
    for (const auto& [args, error] : cases) {
        const OptionLine line = ParseOptionLine(args, kSpecs);
        EXPECT_EQ(line.error, error) << args[0];
        EXPECT_EQ(Flat(line), "|") << args[0]; // nothing half taken
    }
}
