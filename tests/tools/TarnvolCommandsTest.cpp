// tarnvol and extract as a user of tar, bsdtar and 7z tries them: --version,
// the getopt forms on every command, list -l, cat, test, and names given
// with '/', wildcards, folders and lists.
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

using namespace tarnwick;
using namespace tarnwick::test;
using Args = std::vector<std::string>;

namespace {

class TarnvolCommands : public ::testing::Test {
protected:
    TarnvolCommands() { WriteVolume(volume, files); }

    // The volume again, with entry `k`'s method byte and, when given, its length changed.
    std::string Patched(std::size_t k, int method, std::uint32_t length = 0)
    {
        std::string bytes = ReadFile(volume);
        const std::size_t at = VolumeLayout(bytes).Entry(k);
        bytes[at + 16] = static_cast<char>(method);
        if (length)
            Put32(bytes, at + 12, length);
        return WriteFile(dir / ("patched" + std::to_string(k) + "-" + std::to_string(method) + ".vol"), bytes);
    }

    TempDir dir;
    const std::string volume = dir / "game.vol";
    const Files files = {
        {"top.cs", "top"},
        {"Scripts\\AI\\Bot.cs", std::string("bot\0bytes", 9)},
        {"Scripts\\a.cs", std::string(70000, 'q')},
        {"scripts\\b.CS", "bee"},
        {"caf\xE9.cs", "coffee"},
        {"two  blanks.cs", "blanks"},
    };
};

} // namespace

TEST(TarnvolVersion, BothProgramsTellTheProjectsVersion)
{
    for (const std::string program : {"tarnvol", "extract"}) {
        const ToolRun r = RunTool(ToolPath(program), {"--version"});
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err),
                  std::make_tuple(0, program + " " + ProjectVersion() + "\n", std::string()));
    }
}

TEST_F(TarnvolCommands, EveryCommandTakesTheGetoptForms)
{
    MakeFolder(dir / "out");
    WriteFile(dir / "src/x.cs", "x");
    const struct {
        Args args;
        std::string out;    // standard output, when `check` says so
        std::string landed; // a file below dir that must hold "top" or "x" afterwards
    } cases[] = {
        {{"list", "-0l", volume}, "", ""},
        {{"list", volume, "--long", "--null"}, "", ""},
        {{"cat", volume, "top.cs"}, "top", ""},
        {{"cat", "--", volume, "top.cs"}, "top", ""},
        {{"info", "--", volume}, "", ""},
        {{"test", volume}, "", ""},
        {{"extract", volume, "out", "--flat", "--extractor=" + ToolPath("extract"), "Scripts/b.cs"}, "", "out/b.CS"},
        {{"extract", "--overwrite", "--extractor", ToolPath("extract"), volume, "out", "top.cs"}, "", "out/top.cs"},
        {{"pack", "p1.vol", "x.cs", "-C", dir / "src"}, "", "p1.vol"},
        {{"pack", "-C" + dir / "src", "p2.vol", "x.cs"}, "", "p2.vol"},
        {{"pack", "--directory=" + dir / "src", "p3.vol", "x.cs"}, "", "p3.vol"},
    };
    for (const auto& c : cases) {
        const ToolRun r = Tarnvol(c.args, dir.Path());
        EXPECT_EQ(r.exitCode, 0) << c.args[0] << " " << c.args[1] << ": " << r.err;
        if (!c.out.empty()) {
            EXPECT_EQ(r.out, c.out) << c.args[0];
        }
        if (!c.landed.empty()) {
            EXPECT_TRUE(Exists(dir / c.landed)) << c.landed;
        }
    }
    // One long listing, whatever form asked for it.
    EXPECT_EQ(Tarnvol({"list", "-0l", volume}).out, Tarnvol({"list", volume, "--long", "--null"}).out);
    EXPECT_EQ(Tarnvol({"list", "-l", volume}).out, Tarnvol({"list", "-v", volume}).out);
}

TEST_F(TarnvolCommands, AWrongLineExitsTwoAndDoesNoWork)
{
    const std::string o = dir / "o.vol";
    const std::pair<Args, std::string> cases[] = {
        {{"list", "-x", volume}, "unknown option"},
        {{"list", "-0x", volume}, "unknown option"},
        {{"list", volume, "--bogus"}, "unknown option"},
        {{"info", "--nope", volume}, "unknown option"},
        {{"cat", volume, "top.cs", "-q"}, "unknown option"},
        {{"test", "--quiet", volume}, "unknown option"},
        {{"extract", "--nope", volume, dir.Path()}, "unknown option"},
        {{"pack", o, "--bogus", "top.cs"}, "unknown option"},
        {{"--bogus"}, "unknown option"},
        // A value missing at the end of the line.
        {{"extract", volume, dir.Path(), "--extractor"}, "needs a value"},
        {{"cat", volume, "-T"}, "needs a value"},
        // Operands missing or too many, an unknown command.
        {{}, ""}, {{"frobnicate", volume}, ""}, {{"list"}, ""}, {{"info", volume, volume}, ""}, {{"cat", volume}, ""},
        {{"pack"}, ""}, {{"pack", o}, ""}, {{"pack", o, "-C"}, ""},
        {{"pack", o, "-C", dir.Path(), "-C", dir.Path(), "top.cs"}, ""},
    };
    for (const auto& [args, told] : cases) {
        const ToolRun r = Tarnvol(args);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out), std::make_tuple(2, std::string())) << args.size();
        EXPECT_TRUE(!r.err.empty() && r.err.find(told) != std::string::npos) << r.err;
    }
    // --help wins wherever it stands.
    EXPECT_EQ(Tarnvol({"--help"}).exitCode, 0);
    for (const std::string command : {"list", "info", "extract", "pack"})
        EXPECT_EQ(Tarnvol({command, o, "--help"}).out.rfind("Usage: tarnvol " + command + " ", 0), 0u) << command;
    EXPECT_FALSE(Exists(o));
}

TEST_F(TarnvolCommands, LongListingGivesSizeMethodAndOffset)
{
    // The offset is where the data starts, past its block's 8-byte header:
    // 8 for the volume's own header, then each earlier block's 8 and bytes.
    // -v is the same listing (EveryCommandTakesTheGetoptForms).
    const ToolRun r = Tarnvol({"list", "-l", Patched(2, 2)}); // "Scripts\a.cs" now claims LZ
    EXPECT_EQ(std::make_tuple(r.exitCode, r.err), std::make_tuple(0, std::string()));
    EXPECT_EQ(r.out, "         3 stored         16 top.cs\n"
                     "         9 stored         27 Scripts\\AI\\Bot.cs\n"
                     "     70000 lz             44 Scripts\\a.cs\n"
                     "         3 stored      70052 scripts\\b.CS\n"
                     "         6 stored      70063 caf\xC3\xA9.cs\n"
                     "         6 stored      70077 two  blanks.cs\n");
}

// Cat writes the bytes, list the names, of what the names select, in stored
// order as tar gives them; names also come from a list.
TEST_F(TarnvolCommands, CatAndListGiveWhatTheNamesSelect)
{
    WriteFile(dir / "names.txt", "top.cs\r\nscripts/AI\n\n");
    WriteFile(dir / "names0", std::string("caf\xE9.cs\0Scripts\\a.cs\0", 21));
    const std::pair<Args, std::string> cases[] = {
        {{"cat", volume, "top.cs"}, "top"},
        {{"cat", volume, "scripts/b.cs", "top.cs"}, "top" "bee"},
        {{"cat", volume, "*.CS"}, "top" + files[1].second + files[2].second + "bee" + "coffee" + "blanks"},
        {{"cat", volume, "caf\xC3\xA9.cs"}, "coffee"}, // typed UTF-8, stored Windows-1252
        {{"cat", volume, "two  blanks.cs"}, "blanks"},
        {{"list", "-T", dir / "names.txt", volume}, "top.cs\nScripts\\AI\\Bot.cs\n"}, // CRLF and blank lines
        {{"list", "-0", "-T", dir / "names0", volume}, std::string("Scripts\\a.cs\0caf\xE9.cs\0", 21)}, // stored bytes
        {{"list", "--files-from=" + dir / "names.txt", volume, "two*"}, "top.cs\nScripts\\AI\\Bot.cs\ntwo  blanks.cs\n"},
    };
    for (const auto& [line, out] : cases) {
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.err), std::make_tuple(0, std::string())) << line[0] << " " << line[2];
        EXPECT_TRUE(r.out == out) << line[0] << " " << line[2] << ": " << r.out.size() << " bytes";
    }
    const ToolRun r = Tarnvol({"list", "-T", dir / "no-such-list", volume});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no-such-list"), std::string::npos) << r.err;
}

TEST_F(TarnvolCommands, ANameThatSelectsNothingIsAnError)
{
    // What extract tells of each name is TarnvolNames.EveryNameNotExtractedIsToldAndTheRunFails.
    const struct {
        Args line;
        std::string missing;
        std::string out; // what the names that did select still gave
    } cases[] = {
        {{"cat", volume, "top.cs", "nothere.cs"}, "nothere.cs", "top"},
        {{"list", volume, "nothere.cs", "top.cs"}, "nothere.cs", "top.cs\n"},
        {{"list", volume, "Script"}, "Script", ""},
        {{"test", volume, "x*"}, "x*", ""},
    };
    for (const auto& c : cases) {
        const ToolRun r = Tarnvol(c.line);
        EXPECT_EQ(r.exitCode, 1) << c.line[0] << ": " << r.err;
        EXPECT_NE(r.err.find(c.missing + ": not in the volume"), std::string::npos) << r.err;
        if (c.line[0] != "test") {
            EXPECT_EQ(r.out, c.out) << c.line[0];
        }
    }
    // An empty list names nothing, and so selects nothing without a fault.
    WriteFile(dir / "empty.txt", "\n");
    const std::string none = MakeFolder(dir / "none");
    for (const Args& line : {Args{"extract", "-T", dir / "empty.txt", volume, none}, Args{"cat", "-T", dir / "empty.txt", volume},
                             Args{"list", "-T", dir / "empty.txt", volume}}) {
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(0, std::string(), std::string())) << line[0];
    }
    EXPECT_TRUE(std::filesystem::is_empty(none));
}

#ifndef _WIN32
TEST_F(TarnvolCommands, NamesFromStandardInput)
{
    const std::pair<std::string, std::string> cases[] = {
        {"printf 'TOP.CS\\n' | \"$0\" cat -T - \"$1\"", "top"},
        {"\"$0\" list -0 \"$1\" 'scripts/*' | \"$0\" cat -0 -T - \"$1\"", files[1].second + files[2].second + "bee"},
    };
    for (const auto& [script, out] : cases) {
        const ToolRun r = RunTool("/bin/sh", {"-c", script, ToolPath("tarnvol"), volume});
        EXPECT_EQ(r.exitCode, 0) << script << ": " << r.err;
        EXPECT_TRUE(r.out == out) << script << ": " << r.out.size() << " bytes";
    }
}
#endif

TEST_F(TarnvolCommands, ExtractWritesEachFileUnderItsStoredCase)
{
    const std::pair<std::string, std::string> cases[] = { // typed, where the one file lands below the destination
        {"scripts/ai/BOT.cs", "Scripts/AI/Bot.cs"},
        {"SCRIPTS/AI", "Scripts/AI/Bot.cs"},
        {"*b.cs", "scripts/b.CS"},
    };
    int row = 0;
    for (const auto& [typed, landed] : cases) {
        const std::string dest = MakeFolder(dir / ("out" + std::to_string(row++)));
        const ToolRun r = Tarnvol({"extract", volume, dest, typed});
        EXPECT_EQ(r.exitCode, 0) << typed << ": " << r.err;
        EXPECT_EQ(FilesBelow(dest), std::vector<std::string>{landed}) << typed;
    }
}

TEST_F(TarnvolCommands, TestReadsEveryEntryAndReportsTheBadOnes)
{
    const struct {
        std::string what;
        std::string volume;
        int exitCode;
        std::vector<std::string> said; // each somewhere on standard output
    } cases[] = {
        {"sound", volume, 0, {"6 files", "0 damaged", "0 not supported"}},
        {"compressed", Patched(1, 3), 1, {"Scripts\\AI\\Bot.cs", "method 3", "1 not supported"}},
        {"data past the end", Patched(2, 0, 0x7FFFFF00), 1, {"Scripts\\a.cs", "damaged", "1 damaged"}},
        {"compressed and past the end", Patched(3, 1, 0x7FFFFF00), 1, {"scripts\\b.CS", "1 damaged", "0 not supported"}},
    };
    for (const auto& c : cases) {
        const ToolRun r = Tarnvol({"test", c.volume});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.what << ": " << r.out << r.err;
        for (const std::string& s : c.said)
            EXPECT_NE(r.out.find(s), std::string::npos) << c.what << ": " << s << " in " << r.out;
    }
    // The reader's own messages are VOLReaderTest's: failing, they exit 1.
    WriteFile(dir / "text.vol", "not a volume");
    EXPECT_EQ(Tarnvol({"test", dir / "text.vol"}).exitCode, 1);
    for (const char* command : {"list", "info"}) {
        const ToolRun r = Tarnvol({command, dir / "text.vol"});
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(1, std::string(), "Invalid volume format.\n"));
    }
}
