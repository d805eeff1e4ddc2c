// The stand-in extractor as the job runs it: real volumes, real files.
#include "platform/os/Folders.h"
#include "support/ChildProcess.h"
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

std::string Pattern(std::size_t size, unsigned seed)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = static_cast<char>(seed >> 16);
    }
    return s;
}

std::uint32_t U32At(const std::string& v, std::size_t at)
{
    std::uint32_t x = 0;
    for (int i = 3; i >= 0; --i)
        x = (x << 8) | static_cast<unsigned char>(v[at + i]);
    return x;
}

// Where the index entries of a volume built by our writer begin.
std::size_t IndexAt(const std::string& volume)
{
    const std::uint32_t d = U32At(volume, 4);
    const std::uint32_t s = U32At(volume, d + 4);
    return d + 8 + s + 1 + 8;
}

class ExtractTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        writer.Add("readme.txt", "hello");
        writer.Add("scripts\\ai\\Bot.cs", Pattern(3 * 1024 * 1024 + 17, 1)); // spans several copy blocks
        writer.Add("my file.cs", "blanks");
        writer.Add("empty.cs", "");
        volume = dir / "base.vol";
        ASSERT_TRUE(writer.Write(volume));
    }
    ToolRun Extract(std::vector<std::string> args) { return RunTool(ToolPath("extract"), args); }

    TempDir dir;
    VolumeWriter writer;
    std::string volume;
};

TEST_F(ExtractTool, CopiesStoredFilesByteForByte)
{
    const std::string big = Pattern(3 * 1024 * 1024 + 17, 1);
    ToolRun r = Extract({volume, "scripts\\ai\\Bot.cs", dir / "bot.cs"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "bot.cs"), big);
    // The game's lookups ignore case.
    r = Extract({volume, "SCRIPTS\\AI\\bot.CS", dir / "bot2.cs"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "bot2.cs"), big);
    r = Extract({volume, "empty.cs", dir / "empty.cs"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Exists(dir / "empty.cs"));
    EXPECT_EQ(ReadFile(dir / "empty.cs"), "");
}

TEST_F(ExtractTool, ANameInPiecesIsJoinedWithBlanks)
{
    ToolRun r = Extract({volume, "my", "file.cs", dir / "out.cs"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "out.cs"), "blanks");
}

TEST_F(ExtractTool, ReplacesAnExistingOutputWhole)
{
    WriteFile(dir / "readme.txt", "an older and longer text");
    ToolRun r = Extract({volume, "readme.txt", dir / "readme.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "readme.txt"), "hello");
}

TEST_F(ExtractTool, EachFailureHasItsOwnCodeAndLeavesNoOutput)
{
    WriteFile(dir / "notes.txt", "PVOX and more");
    std::string damaged = ReadFile(volume);
    damaged[4] = '\x7f'; // D far beyond the end
    WriteFile(dir / "damaged.vol", damaged);

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string says;
    };
    const std::string out = dir / "out.bin";
    const std::vector<Case> cases = {
        {{dir / "missing.vol", "readme.txt", out}, 3, "missing.vol"},
        {{dir.Path(), "readme.txt", out}, 3, dir.Path()},
        {{dir / "notes.txt", "readme.txt", out}, 4, "not a volume"},
        {{dir / "damaged.vol", "readme.txt", out}, 5, "damaged"},
        {{volume, "nothere.cs", out}, 6, "nothere.cs"},
        {{volume, "readme.txt", dir / "no/such/folder/out.bin"}, 8, "no/such/folder/out.bin"},
        {{volume, "readme.txt"}, 2, "usage"},
    };
    for (const Case& c : cases) {
        ToolRun r = Extract(c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.args[0] << " " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
        EXPECT_FALSE(Exists(out));
    }
    EXPECT_FALSE(Exists(dir / "no"));
}

TEST_F(ExtractTool, CompressedFilesAreRefusedByMethod)
{
    std::string bytes = ReadFile(volume);
    const std::size_t index = IndexAt(bytes);
    const char* names[] = {"", "run-length", "LZ", "LZ with Huffman coding"};
    for (int method = 1; method <= 3; ++method) {
        bytes[index + 16] = static_cast<char>(method); // the first entry: readme.txt
        WriteFile(dir / "packed.vol", bytes);
        ToolRun r = Extract({dir / "packed.vol", "readme.txt", dir / "out.txt"});
        EXPECT_EQ(r.exitCode, 7);
        EXPECT_NE(r.err.find("method " + std::to_string(method)), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(names[method]), std::string::npos) << r.err;
        EXPECT_FALSE(Exists(dir / "out.txt"));
    }
}

TEST_F(ExtractTool, AFullDiskKeepsTheOldOutputAndLeavesNoTemporaryFile)
{
    WriteFile(dir / "out/bot.cs", "old");
    // A file-size limit makes every write past 1 MiB fail, as a full disk does.
    const int code = RunInChild(
        [&] { return Extract({volume, "scripts\\ai\\Bot.cs", dir / "out/bot.cs"}).exitCode; },
        ChildLimits{1 << 20, false});
    EXPECT_EQ(code, 8);
    EXPECT_EQ(ReadFile(dir / "out/bot.cs"), "old");
    bool ok = false;
    EXPECT_EQ(os::ListFolder(dir / "out", &ok).size(), 1u);
    EXPECT_TRUE(ok);
}

} // namespace
