// tarnvol's reading and packing commands in depth: the real program on
// volumes made by our own writer (or by its own pack command), and on
// deliberately damaged ones.
#include "support/TestFiles.h"
#include "platform/PathStyle.h"
#include "support/RunTool.h"
#include "volume/VolumeIndex.h"
#include "volume/VolumeWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using tarnwick::VolumeIndex;
using tarnwick::VolumeWriter;
using tarnwick::test::ReadFile;
using tarnwick::test::RunTool;
using tarnwick::test::TempDir;
using tarnwick::test::ToolRun;
using tarnwick::test::WriteFile;

namespace {

using tarnwick::test::Le32;

ToolRun Tarnvol(const std::vector<std::string>& args, const std::string& cwd = {})
{
    return RunTool(tarnwick::test::ToolPath("tarnvol"), args, cwd);
}

// The stored names and bytes of a volume, read by the lenient index (not by
// the reader under test).
std::vector<std::pair<std::string, std::string>> Contents(const std::string& volume)
{
    VolumeIndex index;
    std::vector<std::pair<std::string, std::string>> out;
    EXPECT_EQ(index.ParseFile(volume), VolumeIndex::Status::Ok) << index.Problem();
    const std::string bytes = ReadFile(volume);
    for (const auto& e : index.Entries()) {
        EXPECT_EQ(e.method, 0);
        out.emplace_back(e.name, bytes.substr(static_cast<std::size_t>(e.dataOffset), static_cast<std::size_t>(e.length)));
    }
    return out;
}

class ReadTool : public ::testing::Test {
protected:
    std::string Volume(const std::string& file, const std::vector<std::pair<std::string, std::string>>& entries)
    {
        VolumeWriter w;
        for (const auto& [name, data] : entries)
            w.Add(name, data);
        std::string path = dir / file;
        EXPECT_TRUE(w.Write(path)) << w.Failure();
        return path;
    }
    TempDir dir;
};

TEST_F(ReadTool, ListPrintsEveryEntryInStoredOrder)
{
    std::string v = Volume("m.vol", {{"z.cs", "1"}, {"Scripts\\AI\\Bot.CS", "22"}, {"", ""}, {" a.cs", "333"}});
    ToolRun r = Tarnvol({"list", v});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Stored order, case and backslashes kept; the empty name is a line too.
    EXPECT_EQ(r.out, "z.cs\nScripts\\AI\\Bot.CS\n\n a.cs\n");
    EXPECT_EQ(r.err, "");

    // A name whose one entry is empty still prints its line.
    r = Tarnvol({"list", Volume("e.vol", {{"", "x"}, {"b", "y"}})});
    EXPECT_EQ(r.out, "\nb\n");
}

TEST_F(ReadTool, InfoPrintsTheDirectoryValuesAndTheSize)
{
    std::string v = Volume("i.vol", {{"a.cs", "hello"}, {"dir\\b.cs", ""}, {"c", "1234567"}});
    ToolRun r = Tarnvol({"info", v});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // D follows the header and three blocks; S holds each name and its NUL.
    const long d = 8 + (8 + 5) + (8 + 0) + (8 + 7);
    const long s = 5 + 9 + 2;
    const long size = static_cast<long>(std::filesystem::file_size(v));
    EXPECT_EQ(size, d + 8 + s + 1 + 8 + 3 * 17);
    EXPECT_EQ(r.out, "PVOL: " + std::to_string(d) + "\nVOLS: " + std::to_string(s) + "\nVOLI: " +
                         std::to_string(3 * 17) + "\nFileCount: 3\nSize: " + std::to_string(size) + "\n");
}

TEST_F(ReadTool, ReaderErrorsGoToStderrWithExitOne)
{
    // A sound header whose name block claims far more than the file holds.
    std::string damaged = dir / "Damaged.vol";
    WriteFile(damaged, "PVOL" + Le32(8) + "vols" + Le32(0x7FFFFFF0u) + std::string("a\0", 2));
    std::string text = dir / "text.vol";
    WriteFile(text, "not a volume at all");
    std::string missing = dir / "Missing.vol";

    for (const char* command : {"list", "info"}) {
        ToolRun r = Tarnvol({command, damaged});
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_EQ(r.out, "") << command;
        EXPECT_EQ(r.err, "Volume " + tarnwick::ShownPath(damaged, tarnwick::NativePathStyle()) + " is damaged or unreadable.\n") << command;

        r = Tarnvol({command, text});
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_EQ(r.err, "Invalid volume format.\n") << command;

        r = Tarnvol({command, missing});
        EXPECT_EQ(r.exitCode, 1) << command;
        // POSIX paths keep their case in messages; Windows shows them in lower case.
        EXPECT_EQ(r.err, "Path " + tarnwick::ShownPath(missing, tarnwick::NativePathStyle()) + " not found.\n") << command;

        r = Tarnvol({command, ""});
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_EQ(r.err, "No path to volume given.\n") << command;
    }
}

TEST_F(ReadTool, WrongCommandLinesExitTwo)
{
    std::string v = Volume("v.vol", {{"a", "b"}});
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate", v},
        {"list"},
        {"list", v, v},
        {"info", "-x", v},
        {"pack"},
        {"pack", dir / "o.vol"},
        {"pack", dir / "o.vol", "-C"},
        {"pack", dir / "o.vol", "-C", dir.Path(), "-C", dir.Path(), "a"},
        {"pack", dir / "o.vol", "--bogus", "a"},
    };
    for (const auto& args : wrong) {
        ToolRun r = Tarnvol(args);
        std::string shown;
        for (const auto& a : args)
            shown += a + " ";
        EXPECT_EQ(r.exitCode, 2) << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_FALSE(r.err.empty()) << shown;
    }
    EXPECT_FALSE(tarnwick::test::Exists(dir / "o.vol"));

    // "--" lets a volume whose name begins with "-" through.
    std::filesystem::copy_file(v, dir / "-odd.vol");
    ToolRun r = Tarnvol({"list", "--", "-odd.vol"}, dir.Path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a\n");
}

TEST_F(ReadTool, HelpForTheToolAndEachCommand)
{
    ToolRun r = Tarnvol({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* command : {"list", "info", "extract", "pack"})
        EXPECT_NE(r.out.find(std::string("  ") + command + " "), std::string::npos) << command;

    for (const char* command : {"list", "info", "extract", "pack"}) {
        // --help wins wherever it stands, and does no work.
        r = Tarnvol({command, dir / "out.vol", "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: tarnvol ") + command + " ", 0), 0u) << command << ": " << r.out;
        EXPECT_EQ(r.err, "") << command;
    }
    EXPECT_FALSE(tarnwick::test::Exists(dir / "out.vol"));
}

class Pack : public ReadTool {
protected:
    Pack()
    {
        WriteFile(dir / "src/top.cs", "top");
        WriteFile(dir / "src/Scripts/AI/Bot.cs", std::string("bot\0bytes", 9));
        WriteFile(dir / "src/Scripts/b.cs", "");
        WriteFile(dir / "src/Scripts/a.cs", std::string(70000, 'q'));
        std::filesystem::create_directories(dir / "src/empty");
    }
    std::string src() const { return dir / "src"; }
};

TEST_F(Pack, FolderTreeIsStoredRelativeToDirWithBackslashes)
{
    std::string out = dir / "tree.vol";
    ToolRun r = Tarnvol({"pack", out, "-C", src(), "Scripts", "top.cs"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    using C = std::vector<std::pair<std::string, std::string>>;
    // Operands in the order given; a folder's files in name order.
    EXPECT_EQ(Contents(out), (C{{"Scripts\\AI\\Bot.cs", std::string("bot\0bytes", 9)},
                                {"Scripts\\a.cs", std::string(70000, 'q')},
                                {"Scripts\\b.cs", ""},
                                {"top.cs", "top"}}));

    // Name order, whatever order the folder hands its entries out in.
    std::string expected;
    for (char c : std::string("qzcamxbyk0"))
        WriteFile(dir / "src/many/" + std::string(1, c) + ".cs", std::string(1, c));
    for (char c : std::string("0abckmqxyz"))
        expected += std::string("many\\") + c + ".cs\n";
    r = Tarnvol({"pack", out, "-C", src(), "many"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Tarnvol({"list", out}).out, expected);

    ASSERT_EQ(Tarnvol({"pack", out, "-C", src(), "Scripts", "top.cs"}).exitCode, 0);
    // The reader lists what pack wrote, through the same tool.
    r = Tarnvol({"list", out});
    EXPECT_EQ(r.out, "Scripts\\AI\\Bot.cs\nScripts\\a.cs\nScripts\\b.cs\ntop.cs\n");
}

TEST_F(Pack, OperandsAreNormalisedAndTakenFromTheWorkingFolderWithoutDir)
{
    std::string out = dir / "n.vol";
    ToolRun r = Tarnvol({"pack", out, "./src//Scripts/./AI/", "src/top.cs"}, dir.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    using C = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(Contents(out), (C{{"src\\Scripts\\AI\\Bot.cs", std::string("bot\0bytes", 9)}, {"src\\top.cs", "top"}}));

    // An absolute FILE inside DIR is made relative to it; "." is DIR whole.
    r = Tarnvol({"pack", out, "-C", src(), src() + "/Scripts/AI"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Contents(out), (C{{"Scripts\\AI\\Bot.cs", std::string("bot\0bytes", 9)}}));
    r = Tarnvol({"pack", out, "-C", src() + "/Scripts", "."});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Contents(out).size(), 3u);
}

TEST_F(Pack, NamesOutsideDirAreRefusedAndNothingIsWritten)
{
    WriteFile(dir / "outside.cs", "secret");
    const std::string out = dir / "refused.vol";
    for (const std::string& operand : {std::string("../outside.cs"), std::string("Scripts/../../outside.cs"),
                                       dir / "outside.cs", std::string("..")}) {
        ToolRun r = Tarnvol({"pack", out, "-C", src(), operand});
        EXPECT_EQ(r.exitCode, 1) << operand;
        EXPECT_NE(r.err.find("outside"), std::string::npos) << operand << ": " << r.err;
        EXPECT_FALSE(tarnwick::test::Exists(out)) << operand;
    }
}

TEST_F(Pack, FailuresLeaveAnEarlierVolumeUntouched)
{
    const std::string out = dir / "keep.vol";
    ASSERT_EQ(Tarnvol({"pack", out, "-C", src(), "top.cs"}).exitCode, 0);
    const std::string before = ReadFile(out);

    // A missing file after a good one: the volume is not half made.
    ToolRun r = Tarnvol({"pack", out, "-C", src(), "Scripts", "nope.cs"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("nope.cs"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(out), before);

    // Only empty folders: a volume without names would read as damaged.
    r = Tarnvol({"pack", out, "-C", src(), "empty"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no files"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(out), before);

    // DIR itself missing.
    r = Tarnvol({"pack", out, "-C", dir / "no-such-folder", "a.cs"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(ReadFile(out), before);

    // The output's folder missing: nothing appears anywhere.
    r = Tarnvol({"pack", dir / "no/such/out.vol", "-C", src(), "top.cs"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.empty());
}

TEST_F(Pack, NamesEqualWithoutCaseAreRefused)
{
    ToolRun r;
#ifndef _WIN32 // a file system that ignores case cannot hold both names
    WriteFile(dir / "src/Scripts/A.CS", "other");
    r = Tarnvol({"pack", dir / "dup.vol", "-C", src(), "Scripts"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("twice"), std::string::npos) << r.err;
    EXPECT_FALSE(tarnwick::test::Exists(dir / "dup.vol"));
#endif

    // The same file named twice is the same fault.
    r = Tarnvol({"pack", dir / "dup.vol", "-C", src(), "top.cs", "./top.cs"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(tarnwick::test::Exists(dir / "dup.vol"));
}

#ifndef _WIN32
TEST_F(Pack, LinkedFolderLoopAndTheOutputItselfAreLeftOut)
{
    std::filesystem::create_directory_symlink("..", dir / "src/Scripts/up");
    // The earlier volume lies inside the tree being packed.
    const std::string out = dir / "src/self.vol";
    ASSERT_EQ(Tarnvol({"pack", out, "-C", src(), "top.cs"}).exitCode, 0);
    ToolRun r = Tarnvol({"pack", out, "-C", src(), "."});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("linked folder"), std::string::npos) << r.err;
    std::map<std::string, std::string> got;
    for (auto& [name, data] : Contents(out))
        got[name] = data;
    EXPECT_EQ(got.size(), 4u);
    EXPECT_EQ(got.count("self.vol"), 0u);
    EXPECT_EQ(got.at("top.cs"), "top");
}
#endif

} // namespace
