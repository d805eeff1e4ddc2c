// tarnvol's extract command: a tree packed by tarnvol itself comes back out
// through the real extractor (reading and packing are TarnvolReadPackTest's).
#include "support/RunTool.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

ToolRun Tarnvol(std::vector<std::string> args) { return RunTool(ToolPath("tarnvol"), args); }

class TarnvolExtract : public ::testing::Test {
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

TEST_F(TarnvolExtract, ExtractRecreatesTheTreeWithTheRealExtractor)
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

TEST_F(TarnvolExtract, ExtractKeepsExistingFilesUnlessToldToOverwrite)
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

} // namespace
