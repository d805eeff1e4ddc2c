// tarnvol, our own volume tool: one round trip through pack, list, info and
// extract (with the real extractor), the ways its commands fail, and stored
// names no terminal or command line should take as they stand.
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

class TarnvolPack : public ::testing::Test {
protected:
    TarnvolPack()
    {
        for (const auto& [name, data] : tree)
            WriteFile(dir / ("src/" + name), data);
        MakeFolder(dir / "src/empty");
    }
    TempDir dir;
    const std::string src = dir / "src";
    const Files tree = {{"top.cs", "top"}, {"Scripts/b.cs", ""}, {"Scripts/AI/Bot.cs", std::string("bot\0bytes", 9)},
                        {"Scripts/a.cs", std::string(70000, 'q')}};
};

} // namespace

TEST_F(TarnvolPack, RoundTripThroughPackListInfoAndExtract)
{
    // "." pieces, doubled and closing slashes drop out; an absolute FILE
    // inside DIR is taken relative to it.
    const std::string out = dir / "tree.vol";
    ASSERT_EQ(Tarnvol({"pack", out, "-C", src, "./Scripts//", src + "/top.cs"}).exitCode, 0);
    // Operands in the order given, a folder's files in name order; the
    // bytes are checked when they come back out below.
    ToolRun r = Tarnvol({"list", out});
    EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err),
              std::make_tuple(0, std::string("Scripts\\AI\\Bot.cs\nScripts\\a.cs\nScripts\\b.cs\ntop.cs\n"), std::string()));
    // PVOL: the header's 8, then 8 a block and the 70012 bytes; VOLS: the
    // names and their NULs; VOLI: 17 an entry; the size adds the two tags
    // with their lengths and the pad byte.
    r = Tarnvol({"info", out});
    EXPECT_EQ(r.out, "PVOL: 70052\nVOLS: 51\nVOLI: 68\nFileCount: 4\nSize: 70188\n");

    // Back out as the window does it, into a folder that must exist (TarnvolNames tells a missing one).
    MakeFolder(dir / "out");
    r = Tarnvol({"extract", out, dir / "out"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const auto& [name, data] : tree)
        EXPECT_EQ(ReadFile(dir / "out/" + name), data) << name;
    EXPECT_NE(r.err.find(" 25% Scripts\\AI\\Bot.cs\n"), std::string::npos) << r.err;
    // What is there is kept unless --overwrite; --flat drops the folders.
    WriteFile(dir / "out/top.cs", "mine");
    r = Tarnvol({"extract", "--flat", out, dir / "out", "top.cs", "Scripts\\AI\\Bot.cs"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("already exists.  Overwrite? No"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(dir / "out/top.cs") + ReadFile(dir / "out/Bot.cs"), "mine" + tree[2].second);
    EXPECT_EQ(Tarnvol({"extract", "--overwrite", out, dir / "out", "top.cs"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "out/top.cs"), "top");

    // Name order, whatever order the folder hands its entries out in.
    for (char c : std::string("qzcamxbyk0"))
        WriteFile(dir / "src/many/" + std::string(1, c), "");
    ASSERT_EQ(Tarnvol({"pack", out, "-C", src, "many"}).exitCode, 0);
    EXPECT_EQ(Tarnvol({"list", out}).out, "many\\0\nmany\\a\nmany\\b\nmany\\c\nmany\\k\nmany\\m\nmany\\q\nmany\\x\nmany\\y\nmany\\z\n");
    // Without -C the working folder is DIR; "--" lets a name begin with "-".
    ASSERT_EQ(Tarnvol({"pack", "--", "-odd.vol", "top.cs"}, src).exitCode, 0);
    EXPECT_EQ(Tarnvol({"list", "--", "-odd.vol"}, src).out, "top.cs\n");
}

TEST_F(TarnvolPack, RefusalsLeaveAnEarlierVolumeUntouched)
{
    WriteFile(dir / "outside.cs", "secret");
#ifndef _WIN32 // a file system that ignores case cannot hold both names
    WriteFile(dir / "src/twins/A.CS", "");
    WriteFile(dir / "src/twins/a.cs", "");
#endif
    const std::string out = dir / "keep.vol";
    ASSERT_EQ(Tarnvol({"pack", out, "-C", src, "top.cs"}).exitCode, 0);
    const std::string before = ReadFile(out);
    for (const auto& [operands, why] : std::vector<std::pair<Args, std::string>>{
             {{"-C", src, "../outside.cs"}, "outside"},
             {{"-C", src, dir / "outside.cs"}, "outside"},
             {{"-C", src, ".."}, "outside"},
             {{"-C", src, "Scripts", "nope.cs"}, "nope.cs not found"}, // not half made after a good one
             {{"-C", src, "empty"}, "no files"},                       // no names would read as damaged
             {{"-C", src, "top.cs", "./top.cs"}, "twice"},
#ifndef _WIN32
             {{"-C", src, "twins"}, "twice"},
#endif
             {{"-C", dir / "no-such-folder", "a.cs"}, "not found"},
         }) {
        Args line{"pack", out};
        line.insert(line.end(), operands.begin(), operands.end());
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(r.exitCode, 1) << operands.back();
        EXPECT_NE(r.err.find(why), std::string::npos) << operands.back() << ": " << r.err;
        EXPECT_EQ(ReadFile(out), before) << operands.back();
    }
    EXPECT_EQ(Tarnvol({"pack", dir / "no/such/out.vol", "-C", src, "top.cs"}).exitCode, 1);
    EXPECT_FALSE(Exists(dir / "no"));
}

namespace {

// A stored name (Windows-1252 bytes, backslashes between folders) and how a
// person is shown it: UTF-8 text, control characters escaped.
struct HostileName {
    std::string stored;
    std::string shown;
};

const std::vector<HostileName> kHostile = {
    {"top.cs", "top.cs"},
    {"Scripts\\plain.cs", "Scripts\\plain.cs"},
    {"caf\xE9.cs", "caf\xC3\xA9.cs"},
    {"Scripts\\\x80" "uro.cs", "Scripts\\\xE2\x82\xAC" "uro.cs"},
    {"Scripts\\line\nbreak.cs", "Scripts\\line\\nbreak.cs"},
    {"esc\x1b[31mred.cs", "esc\\x1b[31mred.cs"},
    {"tab\there.cs", "tab\\there.cs"},
    {"carriage\rreturn.cs", "carriage\\rreturn.cs"},
    {"a,b.cs", "a,b.cs"},
    {"two  blanks.cs", "two  blanks.cs"},
    // Bytes the code page leaves undefined become C1 control characters.
    {"undefined\x9D.cs", "undefined\\x9d.cs"},
    {"del\x7F.cs", "del\\x7f.cs"},
};

class TarnvolNames : public ::testing::Test {
protected:
    TarnvolNames()
    {
        Files files;
        for (const HostileName& n : kHostile)
            files.emplace_back(n.stored, Data(n.stored));
        WriteVolume(volume, files);
    }
    static std::string Data(const std::string& stored) { return "bytes of " + stored; }
    // The file a stored name gives below `dest`, folders re-created: on a
    // POSIX disk under its UTF-8 text with slashes, `posixName`; on Windows
    // under the stored bytes themselves.
    static std::string Landed(const std::string& dest, [[maybe_unused]] const std::string& stored,
                              [[maybe_unused]] const std::string& posixName)
    {
#ifdef _WIN32
        return dest + "\\" + stored;
#else
        return dest + "/" + posixName;
#endif
    }
    static std::string NotExtracted(const std::string& shown) { return "tarnvol extract: " + shown + " was not extracted\n"; }

    TempDir dir;
    const std::string volume = dir / "names.vol";
};

std::string Lines(const std::string HostileName::*field, char end)
{
    std::string all;
    for (const HostileName& n : kHostile)
        all += n.*field + end;
    return all;
}

// Any control character but the line ends between messages.
bool HoldsControls(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && c != '\n') || b == 0x7F;
    });
}

} // namespace

TEST_F(TarnvolNames, ListShowsTextAndGivesScriptsTheStoredBytes)
{
    const std::pair<Args, std::string> cases[] = {
        {{"list", volume}, Lines(&HostileName::shown, '\n')},
        {{"list", "-0", volume}, Lines(&HostileName::stored, '\0')},
        {{"list", "--null", "--", volume}, Lines(&HostileName::stored, '\0')},
    };
    for (const auto& [args, out] : cases) {
        const ToolRun r = Tarnvol(args);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(0, out, std::string())) << args[1];
    }
}

#ifndef _WIN32
TEST_F(TarnvolNames, ATerminalNeverGetsAControlCharacterOfAName)
{
    // Not even when a script's -0 is given: a person is reading.
    for (const Args& args : {Args{"list", volume}, Args{"list", "-0", volume}}) {
        const ToolRun r = RunToolOnTerminal(ToolPath("tarnvol"), args);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out), std::make_tuple(0, Lines(&HostileName::shown, '\n'))) << args[1];
    }
}
#endif

TEST_F(TarnvolNames, ANameTypedAsShownOrAsStoredBytesIsExtracted)
{
    const struct {
        std::string typed, stored, posixName;
    } cases[] = {
        {"caf\xC3\xA9.cs", "caf\xE9.cs", "caf\xC3\xA9.cs"},
        {"caf\xE9.cs", "caf\xE9.cs", "caf\xC3\xA9.cs"}, // not UTF-8: the bytes themselves
        {"Scripts\\\xE2\x82\xAC" "uro.cs", "Scripts\\\x80" "uro.cs", "Scripts/\xE2\x82\xAC" "uro.cs"},
        {"undefined\xC2\x9D.cs", "undefined\x9D.cs", "undefined\xC2\x9D.cs"},
        {"a,b.cs", "a,b.cs", "a,b.cs"},
#ifndef _WIN32 // no Windows file name holds a control character
        {"Scripts\\line\nbreak.cs", "Scripts\\line\nbreak.cs", "Scripts/line\nbreak.cs"},
        {"esc\x1b[31mred.cs", "esc\x1b[31mred.cs", "esc\x1b[31mred.cs"},
#endif
    };
    int row = 0;
    for (const auto& [typed, stored, posixName] : cases) {
        const std::string dest = MakeFolder(dir / ("out" + std::to_string(row++)));
        const ToolRun r = Tarnvol({"extract", volume, dest, typed});
        EXPECT_EQ(r.exitCode, 0) << row << ": " << r.err;
        EXPECT_EQ(ReadFile(Landed(dest, stored, posixName)), Data(stored)) << row;
        // Progress names the file as a person may read it.
        EXPECT_FALSE(HoldsControls(r.err)) << row << ": " << r.err;
    }
}

TEST_F(TarnvolNames, RelativeVolumeAndDestinationAreTakenFromTheCurrentFolder)
{
    const std::string stored = "Scripts\\plain.cs";
    const struct {
        std::string volume, dest, landsIn;
    } cases[] = {
        {"names.vol", "rel/dest", "rel/dest"},
        {"./names.vol", "./rel//second/", "rel/second"},
        {"rel/../names.vol", "rel/../third", "third"},
    };
    for (const auto& c : cases) {
        MakeFolder(dir / c.landsIn);
        const ToolRun r = Tarnvol({"extract", c.volume, c.dest, stored}, dir.Path());
        EXPECT_EQ(r.exitCode, 0) << c.dest << ": " << r.err;
        EXPECT_EQ(ReadFile(Landed(dir / c.landsIn, stored, "Scripts/plain.cs")), Data(stored)) << c.dest;
    }
}

TEST_F(TarnvolNames, AnExtractorThatIsNoProgramIsRefusedBeforeAnyWork)
{
    std::filesystem::permissions(WriteFile(dir / "notes.txt", "not a program"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string dest = MakeFolder(dir / "out");
    const std::pair<std::string, int> cases[] = {
        {dir / "no-such-extract", 2},
        {dir.Path(), 2},
        {dir / "notes.txt", 2},
        {ToolPath("extract"), 0},
    };
    for (const auto& [extractor, exitCode] : cases) {
        const ToolRun r = Tarnvol({"extract", "--extractor", extractor, volume, dest, "top.cs"});
        EXPECT_EQ(r.exitCode, exitCode) << extractor << ": " << r.err;
        EXPECT_EQ(Exists(dest + "/top.cs"), exitCode == 0) << extractor;
        if (exitCode == 2) { // the path named, and nothing started
            EXPECT_TRUE(r.err.find(extractor) != std::string::npos && r.err.find('%') == std::string::npos) << r.err;
        }
        std::filesystem::remove(dest + "/top.cs");
    }
}

TEST_F(TarnvolNames, EveryNameNotExtractedIsToldAndTheRunFails)
{
    const struct {
        const char* what;
        bool destExists;
        Args typed;
        std::vector<std::string> extracted; // stored; the others must be told
    } cases[] = {
        {"one missing", true, {"nothere.cs", "a,b.cs", "caf\xC3\xA9.cs"}, {"a,b.cs", "caf\xE9.cs"}},
        {"no destination", false, {"a,b.cs", "nothere.cs"}, {}},
    };
    for (const auto& c : cases) {
        const std::string dest = dir / (std::string("out ") + c.what);
        if (c.destExists)
            MakeFolder(dest);
        Args line{"extract", volume, dest};
        line.insert(line.end(), c.typed.begin(), c.typed.end());
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(r.exitCode, 1) << c.what;
        for (const std::string& typed : c.typed) {
            const std::string stored = typed == "caf\xC3\xA9.cs" ? "caf\xE9.cs" : typed;
            const bool shouldExtract =
                std::find(c.extracted.begin(), c.extracted.end(), stored) != c.extracted.end();
            // Typed as shown, which is the UTF-8 text.
            EXPECT_EQ(ReadFile(Landed(dest, stored, typed)), shouldExtract ? Data(stored) : std::string()) << c.what << typed;
            // A name the volume does not hold is told as such, as tar does.
            const std::string told = typed == "nothere.cs" ? "tarnvol extract: nothere.cs: not in the volume\n"
                                                           : NotExtracted(typed);
            EXPECT_EQ(r.err.find(told) == std::string::npos, shouldExtract) << c.what << ": " << r.err;
        }
    }
    // Whether blanks and tabs survive the extractor's command line is the
    // job's affair; whatever comes of them is told as it is.
    const std::string dest = MakeFolder(dir / "blanks");
    const ToolRun r = Tarnvol({"extract", volume, dest, "two  blanks.cs", "tab\there.cs"});
    bool all = true;
    for (const HostileName& n : {HostileName{"two  blanks.cs", "two  blanks.cs"}, HostileName{"tab\there.cs", "tab\\there.cs"}}) {
        const bool there = ReadFile(Landed(dest, n.stored, n.stored)) == Data(n.stored);
        all &= there;
        EXPECT_EQ(r.err.find(NotExtracted(n.shown)) == std::string::npos, there) << n.shown << ": " << r.err;
    }
    EXPECT_EQ(r.exitCode, all ? 0 : 1) << r.err;
}
