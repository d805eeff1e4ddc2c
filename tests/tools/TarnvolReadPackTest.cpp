// tarnvol, our own volume tool: one round trip through pack, list, info and
// extract (with the real extractor), and the ways its commands fail.
#include "support/RunTool.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace tarnwick;
using namespace tarnwick::test;
using Files = std::vector<std::pair<std::string, std::string>>;
using Args = std::vector<std::string>;

namespace {

ToolRun Tarnvol(const Args& args, const std::string& cwd = {}) { return RunTool(ToolPath("tarnvol"), args, cwd); }

class TarnvolPack : public ::testing::Test {
protected:
    TarnvolPack()
    {
        for (const auto& [name, data] : tree)
            WriteFile(dir / ("src/" + name), data);
        std::filesystem::create_directories(dir / "src/empty");
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
    const Files stored = {
        {"Scripts\\AI\\Bot.cs", tree[2].second}, {"Scripts\\a.cs", tree[3].second}, {"Scripts\\b.cs", ""}, {"top.cs", "top"}};

    std::string lines;
    std::size_t d = 8, s = 0;
    for (const auto& [name, data] : stored) {
        lines += name + "\n";
        d += 8 + data.size();
        s += name.size() + 1;
    }
    ToolRun r = Tarnvol({"list", out});
    EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(0, lines, std::string()));
    r = Tarnvol({"info", out});
    EXPECT_EQ(r.out, "PVOL: " + std::to_string(d) + "\nVOLS: " + std::to_string(s) + "\nVOLI: " +
                         std::to_string(17 * stored.size()) + "\nFileCount: " + std::to_string(stored.size()) +
                         "\nSize: " + std::to_string(std::filesystem::file_size(out)) + "\n");

    // Back out as the window does it, into a folder that must exist.
    EXPECT_EQ(Tarnvol({"extract", out, dir / "out"}).exitCode, 1);
    WriteFile(dir / "out/.keep", "");
    r = Tarnvol({"extract", out, dir / "out"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const auto& [name, data] : tree)
        EXPECT_EQ(ReadFile(dir / "out/" + name), data) << name;
    EXPECT_NE(r.err.find(" 25% Scripts\\AI\\Bot.cs\n"), std::string::npos) << r.err;
    // What is there is kept unless --overwrite; --flat drops the folders.
    WriteFile(dir / "out/top.cs", "mine");
    r = Tarnvol({"extract", "--flat", out, dir / "out", "top.cs", "Scripts\\AI\\Bot.cs"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("already exists.  Overwrite? No"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(dir / "out/top.cs") + ReadFile(dir / "out/Bot.cs"), "mine" + tree[2].second);
    EXPECT_EQ(Tarnvol({"extract", "--overwrite", out, dir / "out", "top.cs"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "out/top.cs"), "top");
    EXPECT_EQ(Tarnvol({"extract", out, dir / "out", "nothere.cs"}).exitCode, 1);

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

TEST_F(TarnvolPack, ErrorsGoToStderr)
{
    // The reader's own messages are VOLReaderTest's: failing, they exit 1.
    WriteFile(dir / "text.vol", "not a volume at all");
    for (const char* command : {"list", "info"}) {
        const ToolRun r = Tarnvol({command, dir / "text.vol"});
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(1, std::string(), "Invalid volume format.\n"));
    }
    // A wrong command line exits 2, and does no work.
    const std::string v = dir / "v.vol", o = dir / "o.vol";
    ASSERT_EQ(Tarnvol({"pack", v, "-C", src, "top.cs"}).exitCode, 0);
    for (const Args& args : std::vector<Args>{{}, {"frobnicate", v}, {"list"}, {"list", v, v}, {"info", "-x", v}, {"pack"},
                                              {"pack", o}, {"pack", o, "-C"}, {"pack", o, "--bogus", "top.cs"},
                                              {"pack", o, "-C", src, "-C", src, "top.cs"}}) {
        const ToolRun r = Tarnvol(args);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err.empty()), std::make_tuple(2, std::string(), false))
            << args.size() << " " << (args.empty() ? "" : args.back());
    }
    // --help wins wherever it stands.
    EXPECT_EQ(Tarnvol({"--help"}).exitCode, 0);
    for (const std::string command : {"list", "info", "extract", "pack"})
        EXPECT_EQ(Tarnvol({command, o, "--help"}).out.rfind("Usage: tarnvol " + command + " ", 0), 0u) << command;
    EXPECT_FALSE(Exists(o));
}
