// tarnvol from the outside: pack a tree, list it, read its values, extract it
// again with the real extractor, and the failures a scripter will meet.
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

ToolRun Tarnvol(std::vector<std::string> args) { return RunTool(ToolPath("tarnvol"), args); }

class TarnvolTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(dir / "src/scripts/ai/bot.cs", "// bot\n");
        WriteFile(dir / "src/scripts/base.cs", "// base\n");
        WriteFile(dir / "src/readme.txt", "read me");
        volume = dir / "pack.vol";
        ToolRun r = Tarnvol({"pack", volume, "-C", dir / "src", "scripts", "readme.txt"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    TempDir dir;
    std::string volume;
};

TEST_F(TarnvolTool, PackThenListGivesBackslashNamesInOrder)
{
    ToolRun r = Tarnvol({"list", volume});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "scripts\\ai\\bot.cs\nscripts\\base.cs\nreadme.txt\n");
}

TEST_F(TarnvolTool, InfoShowsTheDirectoryValuesAndSize)
{
    VolumeWriter w;
    w.Add("a.cs", "12345");
    w.Add("", "");
    w.Add("b.cs", "");
    const std::string bytes = w.Build();
    WriteFile(dir / "v.vol", bytes);
    ToolRun r = Tarnvol({"info", dir / "v.vol"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const int d = 8 + (8 + 5) + 8 + 8; // header, three blocks
    const int s = 5 + 1 + 5;           // "a.cs\0" "\0" "b.cs\0"
    EXPECT_EQ(r.out, "PVOL: " + std::to_string(d) + "\nVOLS: " + std::to_string(s) + "\nVOLI: " +
                         std::to_string(3 * 17) + "\nFileCount: 3\nSize: " + std::to_string(bytes.size()) + "\n");
    r = Tarnvol({"list", dir / "v.vol"});
    EXPECT_EQ(r.out, "a.cs\n\nb.cs\n") << "an empty name is an empty line";
}

TEST_F(TarnvolTool, ReaderFailuresGoToStderr)
{
    WriteFile(dir / "text.vol", "just text");
    ToolRun r = Tarnvol({"list", dir / "text.vol"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Invalid volume format.\n");
    r = Tarnvol({"info", dir / "Missing.vol"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Missing.vol not found."), std::string::npos) << r.err;
    r = Tarnvol({"list"});
    EXPECT_EQ(r.exitCode, 2);
    r = Tarnvol({"frobnicate"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("frobnicate"), std::string::npos);
}

TEST_F(TarnvolTool, ExtractRecreatesTheTreeWithTheRealExtractor)
{
    ToolRun r = Tarnvol({"extract", volume, dir / "out"});
    // DEST must exist, as in the window.
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("is an invalid directory."), std::string::npos) << r.err;

    WriteFile(dir / "out/.keep", "");
    r = Tarnvol({"extract", volume, dir / "out"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "out/scripts/ai/bot.cs"), "// bot\n");
    EXPECT_EQ(ReadFile(dir / "out/scripts/base.cs"), "// base\n");
    EXPECT_EQ(ReadFile(dir / "out/readme.txt"), "read me");
    EXPECT_NE(r.err.find(" 33% scripts\\ai\\bot.cs\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("100% Complete\n"), std::string::npos) << r.err;
}

TEST_F(TarnvolTool, ExtractKeepsExistingFilesUnlessToldToOverwrite)
{
    WriteFile(dir / "flat/base.cs", "mine");
    ToolRun r = Tarnvol({"extract", "--flat", volume, dir / "flat", "scripts\\base.cs", "scripts\\ai\\bot.cs"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("already exists.  Overwrite? No"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(dir / "flat/base.cs"), "mine");
    EXPECT_EQ(ReadFile(dir / "flat/bot.cs"), "// bot\n");

    r = Tarnvol({"extract", "--flat", "--overwrite", volume, dir / "flat", "scripts\\base.cs"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "flat/base.cs"), "// base\n");

    r = Tarnvol({"extract", volume, dir / "flat", "nothere.cs"});
    EXPECT_EQ(r.exitCode, 1) << "a name the volume lacks is a failure";
}

TEST_F(TarnvolTool, PackRefusesPathsOutsideItsFolderAndKeepsNoHalfVolume)
{
    ToolRun r = Tarnvol({"pack", dir / "bad.vol", "-C", dir / "src", "../pack.vol"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(Exists(dir / "bad.vol"));
    r = Tarnvol({"pack", dir / "bad.vol", "-C", dir / "src", "readme.txt", "missing.cs"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing.cs"), std::string::npos);
    EXPECT_FALSE(Exists(dir / "bad.vol"));
}

TEST(TarnvolHelp, EveryCommandDescribesItself)
{
    for (const char* command : {"list", "info", "extract", "pack"}) {
        ToolRun r = Tarnvol({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: tarnvol ") + command, 0), 0u) << r.out;
    }
    ToolRun r = Tarnvol({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* command : {"list", "info", "extract", "pack"})
        EXPECT_NE(r.out.find(std::string("  ") + command + " "), std::string::npos) << command;
}

} // namespace
