// tarnvol's pack, list, info and extract end to end, and stored names no terminal or command line should take as they are.
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::string_literals;
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
    // "." pieces, doubled and closing slashes drop out; an absolute FILE inside DIR is taken relative to it.
    const std::string out = dir / "tree.vol";
    ASSERT_EQ(Tarnvol({"pack", out, "-C", src, "./Scripts//", src + "/top.cs"}).exitCode, 0);
    // Operands in the order given, a folder's files in name order.
    ToolRun r = Tarnvol({"list", out});
    EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err),
              std::make_tuple(0, std::string("Scripts\\AI\\Bot.cs\nScripts\\a.cs\nScripts\\b.cs\ntop.cs\n"), std::string()));
    // PVOL: the header's 8, then 8 a block and the 70012 bytes; VOLS: the
    // names and their NULs; VOLI: 17 an entry; the size adds the two tags
    // with their lengths and the pad byte.
    EXPECT_EQ(Tarnvol({"info", out}).out, "PVOL: 70052\nVOLS: 51\nVOLI: 68\nFileCount: 4\nSize: 70188\n");

    // Back out as the window does it, into a folder that must exist (TarnvolNames tells a missing one).
    MakeFolder(dir / "out");
    r = Tarnvol({"extract", "-v", out, dir / "out"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const auto& [name, data] : tree)
        EXPECT_EQ(ReadFile(dir / "out/" + name), data) << name;
    EXPECT_NE(r.err.find(" 25% Scripts\\AI\\Bot.cs\n"), std::string::npos) << r.err;
    // Keeping what is there, --overwrite and --flat are TarnvolCommands'.

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
    const std::pair<Args, std::string> cases[] = {
        {{"-C", src, "../outside.cs"}, "outside"},
        {{"-C", src, dir / "outside.cs"}, "outside"},
        {{"-C", src, "Scripts", "nope.cs"}, "nope.cs not found"}, // not half made after a good one
        {{"-C", src, "empty"}, "no files"},                       // no names would read as damaged
        {{"-C", src, "top.cs", "./top.cs"}, "twice"},
#ifndef _WIN32
        {{"-C", src, "twins"}, "twice"},
#endif
        {{"-C", dir / "no-such-folder", "a.cs"}, "not found"},
    };
    for (const auto& [operands, why] : cases) {
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

#ifndef _WIN32
TEST_F(TarnvolPack, ALinkLeadingOutsideDirIsRefusedAndNothingIsWritten)
{
    namespace fs = std::filesystem;
    WriteFile(dir / "private/id_rsa", "the private key");
    MakeFolder(dir / "src/keys");
    fs::create_symlink(dir / "private/id_rsa", dir / "src/keys/id_rsa");
    fs::create_symlink(dir / "private/id_rsa", dir / "src/key.lnk");
    fs::create_symlink(dir / "private", dir / "src/ext");
    const std::string out = dir / "links.vol";
    for (const std::string operand : {"keys", "key.lnk", "ext/id_rsa", "ext", "."}) {
        const ToolRun r = Tarnvol({"pack", out, "-C", src, operand});
        EXPECT_EQ(r.exitCode, 1) << operand;
        EXPECT_NE(r.err.find("tarnvol pack: "), std::string::npos) << operand;
        EXPECT_NE(r.err.find("outside"), std::string::npos) << operand << ": " << r.err;
        EXPECT_FALSE(Exists(out)) << operand;
    }
    // A link that stays inside DIR is stored as the file it leads to.
    fs::create_symlink(dir / "src/top.cs", dir / "src/inner.lnk");
    ASSERT_EQ(Tarnvol({"pack", out, "-C", src, "inner.lnk"}).exitCode, 0);
    EXPECT_EQ(Tarnvol({"cat", out, "inner.lnk"}).out, "top");
}
#endif

TEST_F(TarnvolPack, AFileLongerThanABlockCanHoldIsRefused)
{
    // A block's header keeps the length in 24 bits.
    const std::string out = dir / "big.vol";
    for (const auto& [size, packs] : {std::pair{0xFFFFFF, true}, {0x1000000, false}, {0x1000005, false}}) {
        WriteFile(dir / "big/f.bin", std::string(static_cast<std::size_t>(size), 'x'));
        std::filesystem::remove(out);
        const ToolRun r = Tarnvol({"pack", out, "-C", dir / "big", "f.bin"});
        EXPECT_EQ(r.exitCode, packs ? 0 : 1) << size;
        EXPECT_EQ(Exists(out), packs) << size;
        EXPECT_EQ(r.err.find("tarnvol pack: f.bin") != std::string::npos, !packs) << r.err;
    }
}

TEST(TarnvolTest, AnEntryLongerThanItsBlockHeaderHoldsIsDamaged)
{
    // As packing once wrote it: the index says 16 MiB and 5 bytes, the
    // block header (24 bits) says 5.
    TempDir dir;
    std::string v = BuildVolume({{"big.bin", "12345"}, {"small.cs", "s"}});
    const std::size_t extra = 1 << 24;
    v.insert(8 + 8 + 5, extra, 'x');
    Put32(v, 4, Get32(v, 4) + static_cast<std::uint32_t>(extra));
    const VolumeLayout at(v);
    Put32(v, at.Entry(0) + 12, static_cast<std::uint32_t>(extra + 5));
    Put32(v, at.Entry(1) + 8, Get32(v, at.Entry(1) + 8) + static_cast<std::uint32_t>(extra));
    const ToolRun r = Tarnvol({"test", WriteFile(dir / "v.vol", v)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("big.bin: damaged"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 files: 1 ok, 1 damaged"), std::string::npos) << r.out;
}

// Packed from a UTF-8 disk under its Windows-1252 name, a file comes back out under its own.
TEST(TarnvolPackNames, TextNamesAreStoredInTheCodePageAndComeBackAsText)
{
    TempDir dir;
    // é and the euro sign have a byte in the code page; the last name has none and is stored as it is.
    for (const std::string name : {"caf\xC3\xA9.cs", "\xE2\x82\xAC" "uro.txt", "han\xE4\xB8\xAD.txt"})
        WriteFile(dir / "src/" + name, name);
    const std::string volume = dir / "v.vol";
    ASSERT_EQ(Tarnvol({"pack", "-C", dir / "src", volume, "."}).exitCode, 0);
    EXPECT_EQ(Tarnvol({"list", "-0", volume}).out, "caf\xE9.cs\0han\xE4\xB8\xAD.txt\0\x80uro.txt\0"s);
    ASSERT_EQ(Tarnvol({"extract", volume, MakeFolder(dir / "out")}).exitCode, 0);
    for (const std::string name : {"caf\xC3\xA9.cs", "\xE2\x82\xAC" "uro.txt"})
        EXPECT_EQ(ReadFile(dir / "out/" + name), name);
}

namespace {

// A stored name (Windows-1252 bytes, backslashes between folders) and how a
// person is shown it: UTF-8 text, control characters escaped.
struct HostileName {
    std::string stored, shown;
};

const HostileName kHostile[] = {
    {"top.cs", "top.cs"},
    {"Scripts\\plain.cs", "Scripts\\plain.cs"},
    {"caf\xE9.cs", "caf\xC3\xA9.cs"},
    {"Scripts\\\x80" "uro.cs", "Scripts\\\xE2\x82\xAC" "uro.cs"},
    {"Scripts\\line\nbreak.cs", "Scripts\\line\\nbreak.cs"},
    {"esc\x1b[31mred.cs", "esc\\x1b[31mred.cs"},
    {"tab\there.cs", "tab\\there.cs"},
    {"a,b.cs", "a,b.cs"},
    {"two  blanks.cs", "two  blanks.cs"},
    // Bytes the code page leaves undefined become C1 control characters.
    {"undefined\x9D.cs", "undefined\\x9d.cs"},
    {"del\x7F.cs", "del\\x7f.cs"},
};

std::string Data(const std::string& stored) { return "bytes of " + stored; }

// The file a stored name gives below `dest`: on a POSIX disk under its UTF-8
// text with slashes, `posixName`; on Windows under the stored bytes.
std::string Landed(const std::string& dest, [[maybe_unused]] const std::string& stored,
                   [[maybe_unused]] const std::string& posixName)
{
#ifdef _WIN32
    return dest + "\\" + stored;
#else
    return dest + "/" + posixName;
#endif
}

std::string Lines(const std::string HostileName::*field, char end)
{
    std::string all;
    for (const HostileName& n : kHostile)
        all += n.*field + end;
    return all;
}

class TarnvolNames : public ::testing::Test {
protected:
    TarnvolNames()
    {
        Files files;
        for (const HostileName& n : kHostile)
            files.emplace_back(n.stored, Data(n.stored));
        WriteVolume(volume, files);
    }
    TempDir dir;
    const std::string volume = dir / "names.vol";
};

} // namespace

TEST_F(TarnvolNames, ListShowsTextAndGivesScriptsTheStoredBytes)
{
    for (const auto& [args, out] : {std::pair{Args{"list", volume}, Lines(&HostileName::shown, '\n')},
                                    {Args{"list", "-0", volume}, Lines(&HostileName::stored, '\0')}}) {
        const ToolRun r = Tarnvol(args);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(0, out, std::string())) << args[1];
    }
#ifndef _WIN32
    // A terminal never gets a control character of a name, not even with a script's -0: a person is reading.
    for (const Args& args : {Args{"list", volume}, Args{"list", "-0", volume}}) {
        const ToolRun r = RunToolOnTerminal(ToolPath("tarnvol"), args);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out), std::make_tuple(0, Lines(&HostileName::shown, '\n'))) << args[1];
    }
#endif
}

TEST_F(TarnvolNames, ANameTypedAsShownOrAsStoredBytesIsExtracted)
{
    const std::tuple<std::string, std::string, std::string> cases[] = { // typed, stored, posixName
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
        // Progress names the file as a person may read it: no control character but the line ends.
        EXPECT_TRUE(std::none_of(r.err.begin(), r.err.end(), [](char c) {
            return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == '\x7F';
        })) << row << ": " << r.err;
    }
}

TEST_F(TarnvolNames, RelativeVolumeAndDestinationAreTakenFromTheCurrentFolder)
{
    const std::string stored = "Scripts\\plain.cs";
    MakeFolder(dir / "rel/dest");
    const ToolRun r = Tarnvol({"extract", "./rel/../names.vol", "./rel//dest/", stored}, dir.Path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(Landed(dir / "rel/dest", stored, "Scripts/plain.cs")), Data(stored));
}

TEST_F(TarnvolNames, AnExtractorThatIsNoProgramIsRefusedBeforeAnyWork)
{
    std::filesystem::permissions(WriteFile(dir / "notes.txt", "not a program"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string dest = MakeFolder(dir / "out");
    for (const auto& [extractor, exitCode] : {std::pair{dir / "no-such-extract", 2}, {dir.Path(), 2},
                                              {dir / "notes.txt", 2}, {ToolPath("extract"), 0}}) {
        const ToolRun r = Tarnvol({"extract", "--extractor", extractor, volume, dest, "top.cs"});
        EXPECT_EQ(r.exitCode, exitCode) << extractor << ": " << r.err;
        EXPECT_EQ(Exists(dest + "/top.cs"), exitCode == 0) << extractor;
        // Refused: the path named, and nothing started.
        EXPECT_TRUE(exitCode == 0 || (r.err.find(extractor) != std::string::npos && r.err.find('%') == std::string::npos))
            << r.err;
        std::filesystem::remove(dest + "/top.cs");
    }
}

TEST_F(TarnvolNames, EveryNameNotExtractedIsToldAndTheRunFails)
{
    const std::string here = dir / "here";
    MakeFolder(here);
    // A name the volume does not hold is told as such, as tar does; a DEST
    // that cannot serve is ExtractMakesItsDestinationOrWritesToStandardOutput's.
    {
        const ToolRun r = Tarnvol({"extract", volume, here, "nothere.cs", "a,b.cs", "caf\xC3\xA9.cs"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("tarnvol extract: nothere.cs: not in the volume\n"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("was not extracted"), std::string::npos) << r.err;
    }
    // Typed as shown, which is the UTF-8 text.
    EXPECT_EQ(ReadFile(Landed(here, "a,b.cs", "a,b.cs")) + ReadFile(Landed(here, "caf\xE9.cs", "caf\xC3\xA9.cs")),
              Data("a,b.cs") + Data("caf\xE9.cs"));
    // Whether blanks and tabs survive the extractor's command line is the
    // job's affair; whatever comes of them is told as it is.
    const std::string dest = MakeFolder(dir / "blanks");
    const ToolRun r = Tarnvol({"extract", volume, dest, "two  blanks.cs", "tab\there.cs"});
    bool all = true;
    for (const auto& [stored, shown] : {std::pair{"two  blanks.cs", "two  blanks.cs"}, {"tab\there.cs", "tab\\there.cs"}}) {
        const bool there = ReadFile(Landed(dest, stored, stored)) == Data(stored);
        all &= there;
        EXPECT_EQ(r.err.find("tarnvol extract: "s + shown + " was not extracted\n") == std::string::npos, there) << shown;
    }
    EXPECT_EQ(r.exitCode, all ? 0 : 1) << r.err;
}
