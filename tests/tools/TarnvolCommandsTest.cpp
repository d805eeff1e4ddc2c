// tarnvol and extract as a user of tar tries them: --version, the getopt forms
// on every command, list -l, cat, test, names that select, bash completion.
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

using namespace tarnwick;
using namespace tarnwick::test;
using Args = std::vector<std::string>;
using Words = std::vector<std::string>;

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
        {"top.cs", "top"},         {"Scripts\\AI\\Bot.cs", std::string("bot\0bytes", 9)},
        {"Scripts\\a.cs", std::string(70000, 'q')}, {"scripts\\b.CS", "bee"},
        {"caf\xE9.cs", "coffee"},  {"two  blanks.cs", "blanks"},
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
    // The line, its output, and a file it makes below dir, under the stored case of a name.
    const std::tuple<Args, std::string, std::string> cases[] = {
        {{"cat", "--", volume, "top.cs"}, "top", ""},
        {{"info", "--", volume}, "", ""},
        {{"test", volume}, "", ""},
        {{"extract", volume, "out", "--flat", "--extractor=" + ToolPath("extract"), "scripts/B.cs"}, "", "out/b.CS"},
        {{"extract", "--overwrite", "--extractor", ToolPath("extract"), volume, "out", "SCRIPTS/AI"}, "",
         "out/Scripts/AI/Bot.cs"},
        {{"pack", "p1.vol", "x.cs", "-C", dir / "src"}, "", "p1.vol"},
        {{"pack", "--directory=" + dir / "src", "p3.vol", "x.cs"}, "", "p3.vol"},
    };
    for (const auto& [args, out, landed] : cases) {
        const ToolRun r = Tarnvol(args, dir.Path());
        EXPECT_EQ(r.exitCode, 0) << args[0] << " " << args[1] << ": " << r.err;
        EXPECT_TRUE(out.empty() || r.out == out) << args[0] << ": " << r.out;
        const auto made = FilesBelow(dir.Path());
        EXPECT_TRUE(landed.empty() || std::find(made.begin(), made.end(), landed) != made.end()) << landed;
    }
    // One long listing, whatever form asked for it.
    for (const auto& [a, b] : {std::pair{Args{"list", "-0l", volume}, Args{"list", volume, "--long", "--null"}},
                               {Args{"list", "-l", volume}, Args{"list", "-v", volume}}}) {
        const ToolRun ra = Tarnvol(a);
        EXPECT_TRUE(ra.exitCode == 0 && ra.out.find("70000 stored") != std::string::npos) << a[1] << ": " << ra.out;
        EXPECT_EQ(ra.out, Tarnvol(b).out) << b[1];
    }
}

TEST_F(TarnvolCommands, AWrongLineExitsTwoAndDoesNoWork)
{
    const std::string o = dir / "o.vol";
    const std::pair<Args, std::string> cases[] = {
        {{"list", "-x", volume}, "unknown option"},        {{"info", "--nope", volume}, "unknown option"},
        {{"cat", volume, "top.cs", "-q"}, "unknown option"}, {{"test", "--quiet", volume}, "unknown option"},
        {{"extract", "--nope", volume, dir.Path()}, "unknown option"}, {{"pack", o, "--bogus", "top.cs"}, "unknown option"},
        {{"--bogus"}, "unknown option"},                    {{"extract", volume, dir.Path(), "--extractor"}, "needs a value"},
        // Operands missing or too many, an unknown command.
        {{}, ""}, {{"frobnicate", volume}, ""}, {{"list"}, ""}, {{"info", volume, volume}, ""}, {{"cat", volume}, ""},
        {{"pack", o}, ""}, {{"pack", o, "-C", dir.Path(), "-C", dir.Path(), "top.cs"}, ""},
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
    // The offset is where the data starts, past its block's 8-byte header.
    const ToolRun r = Tarnvol({"list", "-l", Patched(2, 2)}); // "Scripts\a.cs" now claims LZ
    EXPECT_EQ(std::make_tuple(r.exitCode, r.err), std::make_tuple(0, std::string()));
    EXPECT_EQ(r.out, "         3 stored         16 top.cs\n"
                     "         9 stored         27 Scripts\\AI\\Bot.cs\n"
                     "     70000 lz             44 Scripts\\a.cs\n"
                     "         3 stored      70052 scripts\\b.CS\n"
                     "         6 stored      70063 caf\xC3\xA9.cs\n"
                     "         6 stored      70077 two  blanks.cs\n");
}

// Cat writes the bytes, list the names, of what the names select, in stored order; names also come from a list.
TEST_F(TarnvolCommands, CatAndListGiveWhatTheNamesSelect)
{
    WriteFile(dir / "names.txt", "top.cs\r\nscripts/AI\n\n");
    WriteFile(dir / "names0", std::string("caf\xE9.cs\0Scripts\\a.cs\0", 21));
    const std::pair<Args, std::string> cases[] = {
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

// A name block whose last name lacks its closing NUL: that name is listed
// and extracted whole, as the extractor finds it.
TEST_F(TarnvolCommands, ALastNameWithoutItsNulIsListedAndExtractedWhole)
{
    std::string bytes = ReadFile(volume);
    const VolumeLayout layout(bytes);
    char& closing = bytes[layout.d + 8 + layout.s - 1];
    ASSERT_EQ(closing, '\0');
    closing = 'X';
    const std::string cut = WriteFile(dir / "cut.vol", bytes);
    const ToolRun listed = Tarnvol({"list", cut});
    EXPECT_EQ(listed.out.substr(listed.out.rfind('\n', listed.out.size() - 2) + 1), "two  blanks.csX\n");
    const std::string out = MakeFolder(dir / "all");
    EXPECT_EQ(Tarnvol({"extract", cut, out}).exitCode, 0);
    EXPECT_EQ(ReadFile(out + "/two  blanks.csX"), "blanks");
}

TEST_F(TarnvolCommands, ANameThatSelectsNothingIsAnError)
{
    // What extract tells of each name is TarnvolNames.EveryNameNotExtractedIsToldAndTheRunFails.
    const std::tuple<Args, std::string> cases[] = { // the line, what the names that did select still gave
        {{"cat", volume, "top.cs", "nothere.cs"}, "top"},
        {{"list", volume, "nothere.cs", "top.cs"}, "top.cs\n"},
        {{"test", volume, "nothere.cs"}, ""},
    };
    for (const auto& [line, out] : cases) {
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(r.exitCode, 1) << line[0] << ": " << r.err;
        EXPECT_NE(r.err.find("nothere.cs: not in the volume"), std::string::npos) << r.err;
        EXPECT_TRUE(line[0] == "test" || r.out == out) << line[0] << ": " << r.out;
    }
    // An empty list names nothing, and so selects nothing without a fault.
    const std::string empty = WriteFile(dir / "empty.txt", "\n"), none = MakeFolder(dir / "none");
    for (const Args& line : {Args{"extract", "-T", empty, volume, none}, Args{"cat", "-T", empty, volume},
                             Args{"list", "-T", empty, volume}}) {
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(0, std::string(), std::string())) << line[0];
    }
    EXPECT_TRUE(std::filesystem::is_empty(none));
}

// DEST is made with its parents, as 7z -o and unzip -d make theirs; -C
// names it as tar's does; - sends the files' bytes to standard output.
TEST_F(TarnvolCommands, ExtractMakesItsDestinationOrWritesToStandardOutput)
{
    const std::string all = "top" + files[1].second + files[2].second + "bee" + "coffee" + "blanks";
    // The line, standard output, a file it makes and that file's bytes.
    const std::tuple<Args, std::string, std::string, std::string> cases[] = {
        {{"extract", volume, dir / "new/deep/out", "top.cs"}, "", "new/deep/out/top.cs", "top"},
        {{"extract", "-C", dir / "c/out", volume, "scripts/b.cs"}, "", "c/out/scripts/b.CS", "bee"},
        {{"extract", volume, "--directory=" + dir / "d", "top.cs"}, "", "d/top.cs", "top"},
        {{"extract", volume, "-", "scripts/b.cs", "top.cs"}, "top" "bee", "", ""}, // stored order
        {{"extract", volume, "-"}, all, "", ""},
    };
    for (const auto& [args, out, landed, bytes] : cases) {
        const ToolRun r = Tarnvol(args, dir.Path());
        EXPECT_EQ(std::make_tuple(r.exitCode, r.err.find("tarnvol")), std::make_tuple(0, std::string::npos))
            << args[1] << " " << args[2] << ": " << r.err;
        EXPECT_TRUE(r.out == out) << args[2] << ": " << r.out.size() << " bytes";
        EXPECT_TRUE(landed.empty() || ReadFile(dir / landed) == bytes) << landed;
    }
    // A DEST that cannot be a folder, or a volume that cannot be read: one
    // message, never one for each name.
    const std::string file = WriteFile(dir / "a-file", "x");
    const Args fatal[] = {
        {"extract", volume, file},
        {"extract", volume, file + "/below", "top.cs", "scripts"},
        {"extract", dir / "missing.vol", dir / "m1"},
        {"extract", dir / "missing.vol", dir / "m2", "top.cs", "scripts"},
        {"extract", file, "-", "top.cs"},
    };
    for (const Args& line : fatal) {
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out), std::make_tuple(1, std::string())) << line[2];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << line[2] << ": " << r.err;
    }
    // An unreadable volume makes no DEST.
    EXPECT_FALSE(Exists(dir / "m1") || Exists(dir / "m2"));
}

// Every error names the program and the command, whichever path tells it;
// an alias's messages name the command it stands for.
TEST_F(TarnvolCommands, EveryErrorNamesTheCommand)
{
    const std::string missing = dir / "missing.vol", text = WriteFile(dir / "text.vol", "not a volume");
    const std::string out = dir / "out";
    const std::pair<Args, std::string> cases[] = {
        {{"list", missing}, "list"}, {{"list", text}, "list"}, {{"l", missing}, "list"},
        {{"list", "-l", missing}, "list"}, {{"info", missing}, "info"}, {{"info", text}, "info"},
        {{"test", missing}, "test"}, {{"t", text}, "test"}, {{"cat", missing, "top.cs"}, "cat"},
        {{"extract", missing, out}, "extract"}, {{"extract", text, out}, "extract"}, {{"x", missing, out}, "extract"},
        {{"extract", missing, out, "top.cs"}, "extract"}, {{"extract", text, "-"}, "extract"},
    };
    for (const auto& [line, command] : cases) {
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(r.exitCode, 1) << line[0] << " " << line[1];
        std::istringstream err(r.err);
        std::size_t lines = 0;
        for (std::string said; std::getline(err, said); ++lines)
            EXPECT_EQ(said.rfind("tarnvol " + command + ": ", 0), 0u) << line[0] << " " << line[1] << ": " << said;
        EXPECT_GT(lines, 0u) << line[0] << " " << line[1];
    }
}

// 7z's letters are the commands themselves: the same output, the same help.
TEST_F(TarnvolCommands, SevenZipLettersNameTheCommands)
{
    const std::string out = MakeFolder(dir / "x");
    const std::pair<Args, Args> cases[] = {
        {{"l", "-l", volume, "scripts"}, {"list", "-l", volume, "scripts"}},
        {{"t", volume}, {"test", volume}},
        {{"x", volume, "-", "top.cs"}, {"extract", volume, "-", "top.cs"}},
        {{"x", "--help"}, {"extract", "--help"}},
        {{"l", "--help"}, {"list", "--help"}},
        {{"a", "--help"}, {"add", "--help"}},
        {{"d", "--help"}, {"delete", "--help"}},
    };
    for (const auto& [alias, command] : cases) {
        const ToolRun a = Tarnvol(alias), c = Tarnvol(command);
        EXPECT_EQ(std::make_tuple(a.exitCode, a.out, a.err), std::make_tuple(0, c.out, c.err)) << alias[0] << " " << alias[1];
        EXPECT_FALSE(a.out.empty()) << alias[0];
    }
    EXPECT_EQ(Tarnvol({"x", volume, out, "top.cs"}).exitCode, 0);
    EXPECT_EQ(ReadFile(out + "/top.cs"), "top");
    EXPECT_EQ(Tarnvol({"e", volume}).exitCode, 2); // no command of its own yet
}

// A file already there is kept unless --overwrite, as tar -k keeps it (told,
// and the exit status is 1); the last of the two options counts.
TEST_F(TarnvolCommands, KeepAndOverwriteDecideAboutAFileThatIsThere)
{
    const std::tuple<Args, std::string, int> cases[] = { // the options, top.cs after, the exit status
        {{}, "mine", 1}, {{"-k"}, "mine", 1}, {{"--keep"}, "mine", 1}, {{"--keep-old-files"}, "mine", 1},
        {{"--overwrite"}, "top", 0}, {{"--overwrite", "-k"}, "mine", 1}, {{"-k", "--overwrite"}, "top", 0},
    };
    for (const auto& [options, after, exitCode] : cases) {
        const std::string out = dir / ("o" + std::to_string(options.size()) + (options.empty() ? "" : options[0]));
        WriteFile(out + "/top.cs", "mine");
        Args line{"extract", volume, out, "top.cs", "scripts/b.cs"};
        line.insert(line.end(), options.begin(), options.end());
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(std::make_tuple(r.exitCode, ReadFile(out + "/top.cs"), ReadFile(out + "/scripts/b.CS")),
                  std::make_tuple(exitCode, after, std::string("bee"))) << line.back() << ": " << r.err;
        EXPECT_EQ(r.err, exitCode ? "tarnvol extract: top.cs: kept, a file of that name exists (--overwrite replaces it)\n"
                                  : "") << line.back();
    }
}

// Progress only for a person at a terminal, or with -v; -q leaves nothing
// but errors; a terminal's run ends with one line of what it did.
TEST_F(TarnvolCommands, ExtractTellsItsProgressToAPersonOrWhenAsked)
{
    const std::string summary = "tarnvol extract: 2 files, 68 KB into ";
    const std::tuple<Args, bool, std::string> cases[] = { // the options, on a terminal, the start of the last line
        {{}, false, ""}, {{"-q"}, false, ""}, {{"-v"}, false, summary}, {{"--verbose"}, false, summary},
        {{"-v", "-q"}, false, ""},
#ifndef _WIN32
        {{}, true, summary}, {{"--quiet"}, true, ""},
#endif
    };
    int run = 0;
    for (const auto& [options, terminal, last] : cases) {
        const std::string out = dir / ("p" + std::to_string(run++));
        Args line{"extract", volume, out, "top.cs", "scripts/a.cs"};
        line.insert(line.end(), options.begin(), options.end());
#ifndef _WIN32
        const ToolRun r = terminal ? RunToolOnTerminal(ToolPath("tarnvol"), line) : Tarnvol(line);
#else
        const ToolRun r = Tarnvol(line);
#endif
        EXPECT_EQ(r.exitCode, 0) << line.back() << ": " << r.err;
        EXPECT_EQ(ReadFile(out + "/Scripts/a.cs"), files[2].second);
        const std::size_t from = r.err.rfind('\n', r.err.size() >= 2 ? r.err.size() - 2 : 0);
        const std::string lastLine = r.err.substr(from == std::string::npos ? 0 : from + 1);
        if (last.empty()) {
            EXPECT_EQ(r.err, "") << line.back() << " " << terminal;
        } else {
            EXPECT_EQ(lastLine, last + out + "\n") << line.back() << " " << terminal;
            EXPECT_NE(r.err.find("100% Scripts\\a.cs\n"), std::string::npos) << r.err;
        }
    }
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

TEST_F(TarnvolCommands, TestReadsEveryEntryAndReportsTheBadOnes)
{
    WriteFile(dir / "text.vol", "not a volume");
    const std::tuple<std::string, int, std::vector<std::string>> cases[] = { // each said somewhere on standard output
        {volume, 0, {"6 files", "0 damaged", "0 not supported"}},
        {Patched(1, 3), 1, {"Scripts\\AI\\Bot.cs", "method 3", "1 not supported"}},
        {Patched(2, 0, 0x7FFFFF00), 1, {"Scripts\\a.cs", "damaged", "1 damaged"}}, // data past the end
        {Patched(3, 1, 0x7FFFFF00), 1, {"scripts\\b.CS", "1 damaged", "0 not supported"}}, // both: damaged counts
        {dir / "text.vol", 1, {}},
    };
    for (const auto& [vol, exitCode, said] : cases) {
        const ToolRun r = Tarnvol({"test", vol});
        EXPECT_EQ(r.exitCode, exitCode) << vol << ": " << r.out << r.err;
        for (const std::string& s : said)
            EXPECT_NE(r.out.find(s), std::string::npos) << vol << ": " << s << " in " << r.out;
    }
    // The reader's own messages are VOLReaderTest's; each comes after the command's name.
    for (const std::string command : {"list", "info"}) {
        const ToolRun r = Tarnvol({command, dir / "text.vol"});
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err),
                  std::make_tuple(1, std::string(), "tarnvol " + command + ": Invalid volume format.\n"));
    }
}

#ifndef _WIN32
namespace {

// What bash's completion _tarnvol offers for `words` with the cursor in the last one, sorted.
Words Offered(const Words& words, const std::string& cwd)
{
    Words args = {"-c",
                  "source \"$1\" || exit 9; shift; COMP_CWORD=$1; shift; COMP_WORDS=(\"$@\"); COMP_LINE=\"$*\"; "
                  "COMP_POINT=${#COMP_LINE}; _tarnvol; printf '%s\\n' \"${COMPREPLY[@]}\"",
                  "bash", std::string(TARNWICK_SOURCE_DIR) + "/tools/tarnvol/tarnvol.bash-completion",
                  std::to_string(words.size() - 1)};
    args.insert(args.end(), words.begin(), words.end());
    const ToolRun r = RunTool("/bin/bash", args, cwd);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    Words lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

TEST(TarnvolCompletion, OffersCommandsOptionsAndStoredNames)
{
    if (!Exists("/bin/bash"))
        GTEST_SKIP() << "no bash";
    TempDir dir;
    Files files;
    for (const char* name : {"top.cs", "Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "two  blanks.cs", "Skins\\x.bmp"})
        files.emplace_back(name, "data");
    WriteVolume(dir / "game.vol", files);
    MakeFolder(dir / "dest");
    WriteFile(dir / "notes.txt", "");
    const std::string tv = ToolPath("tarnvol");
    const std::pair<Words, Words> cases[] = {
        {{tv, ""}, {"--help", "--version", "a", "add", "cat", "d", "delete", "extract", "info", "l", "list", "pack", "t",
                    "test", "x"}},
        {{tv, "d", "game.vol", "S"}, {"Scripts/", "Skins/"}},     // delete offers stored names
        {{tv, "delete", "-"}, {"--files-from=", "--help", "--null", "-0", "-T"}},
        {{tv, "add", "-"}, {"--directory=", "--help", "-C"}},
        {{tv, "a", "game.vol", "no"}, {"notes.txt"}},             // add offers files on disk
        {{tv, "x", "game.vol", "dest", "S"}, {"Scripts/", "Skins/"}}, // an alias completes as its command
        {{tv, "l", "-"}, {"--files-from=", "--help", "--long", "--null", "--verbose", "-0", "-T", "-l", "-v"}},
        {{tv, "extract", "--k"}, {"--keep", "--keep-old-files"}},
        {{tv, "extract", "--q"}, {"--quiet"}},
        {{tv, "e"}, {"extract"}},
        {{tv, "list", "game.vol", "-"}, {"--files-from=", "--help", "--long", "--null", "--verbose", "-0", "-T", "-l", "-v"}},
        {{tv, "extract", "--f"}, {"--files-from=", "--flat"}},
        {{tv, "cat", "ga"}, {"game.vol"}},                        // volumes
        {{tv, "cat", "game.vol", ""}, {"Scripts/", "Skins/", "top.cs", "two\\ \\ blanks.cs"}},
        {{tv, "cat", "game.vol", "Scripts/"}, {"Scripts/AI/", "Scripts/a.cs"}},
        {{tv, "test", "-T", "notes.txt", "game.vol", "Sk"}, {"Skins/"}}, // a value skipped
        {{tv, "list", "-T", "no"}, {"notes.txt"}},                // the value is a file
        {{tv, "extract", "game.vol", "de"}, {"dest"}},            // DEST is a folder
        {{tv, "extract", "--flat", "game.vol", "dest", "S"}, {"Scripts/", "Skins/"}},
        {{tv, "extract", "-C", "de"}, {"dest"}},                  // -C names DEST, a folder
        {{tv, "extract", "-C", "dest", "game.vol", "S"}, {"Scripts/", "Skins/"}}, // then names follow VOLUME
        {{tv, "extract", "--directory=dest", "game.vol", "t"}, {"top.cs", "two\\ \\ blanks.cs"}},
        {{tv, "list", "--", "game.vol", "-x"}, {}},               // after --, no option
        {{tv, "cat", "no-such.vol", ""}, {}},
        {{tv, "info", "game.vol", ""}, {}},
    };
    for (const auto& [words, offered] : cases)
        EXPECT_EQ(Offered(words, dir.Path()), offered) << words[1] << " " << words.back();
}
#endif
