// Small hostile volumes that once cost tarnvol gigabytes: every command that
// reads the directory must stay within a small machine's memory.
#include "support/ChildProcess.h"
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32 // the address-space limit is a POSIX matter

using namespace tarnwick;
using namespace tarnwick::test;
using Args = std::vector<std::string>;

namespace {

constexpr std::int64_t kBudget = 256 << 20;

class TarnvolHostileVolume : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (UnderAddressSanitizer())
            GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
    }
    TempDir dir;
};

} // namespace

TEST_F(TarnvolHostileVolume, EveryCommandStaysWithinTheBudget)
{
    // 2,000 entries sharing one name of a mebibyte (a 1.08 MB volume).
    const std::string shared = WriteFile(
        dir / "shared.vol",
        WithEntryCopies(BuildVolume({{"x.cs", "xdata"}, {std::string(1 << 20, 'n'), "big"}}), 1, 1999));
    // One name of 120 KB, a folder inside a folder 60,000 times over.
    const std::string deep = WriteFile(dir / "deep.vol", BuildVolume({{"x.cs", "xdata"}, {DeepName(120'000), "deep"}}));
    // Four million entries in a hole of 68 MB, each naming the first file.
    std::string v = BuildVolume({{"x.cs", "xdata"}, {"b.cs", "bbb"}});
    const VolumeLayout at(v);
    const std::uint32_t entries = 4'000'000;
    Put32(v, at.voli + 4, (entries + 2) * 17);
    const std::string huge = WriteFile(dir / "huge.vol", v);
    std::filesystem::resize_file(huge, at.Entry(2) + std::uintmax_t{entries} * 17);

    const std::string dest = MakeFolder(dir / "out");
    const std::string xLong = "         5 stored         16 x.cs\n";
    const std::tuple<Args, std::string> cases[] = {
        {{"cat", shared, "x.cs"}, "xdata"},
        {{"cat", shared, "X*"}, "xdata"},
        {{"list", "-l", shared, "x.cs"}, xLong},
        {{"test", shared}, "2001 files: 2001 ok, 0 damaged, 0 not supported\n"},
        {{"test", shared, "x.cs"}, "1 files: 1 ok, 0 damaged, 0 not supported\n"},
        {{"extract", shared, dest, "x.cs"}, ""},
        {{"cat", deep, "a"}, "deep"},
        {{"cat", deep, "A/A"}, "deep"},
        {{"cat", deep, "*\\a"}, "deep"},
        {{"cat", huge, "b.cs"}, "bbb"},
        {{"list", "-l", huge, "B.CS", "nothing"}, "         3 stored         29 b.cs\n"},
        {{"test", huge}, "4000002 files: 4000002 ok, 0 damaged, 0 not supported\n"},
    };
    for (const auto& [args, out] : cases) {
        const ToolRun r = RunToolWithin(kBudget, ToolPath("tarnvol"), args);
        const bool missing = args.back() == "nothing";
        EXPECT_EQ(r.exitCode, missing ? 1 : 0) << args[0] << " " << args[1] << " " << args.back() << ": " << r.err;
        EXPECT_EQ(r.out, out) << args[0] << " " << args.back();
        EXPECT_EQ(r.err.find("bad_alloc"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadFile(dest + "/x.cs"), "xdata");
}

TEST_F(TarnvolHostileVolume, ANameLongerThanAnyPathIsToldNotCopied)
{
    // 50,000 entries naming each byte of one name of a mebibyte in turn:
    // names of their own, none of which a disk could hold.
    std::string v = WithEntryCopies(BuildVolume({{"x.cs", "xdata"}, {std::string((1 << 20) - 6, 'n'), "n"}}), 1, 50'000);
    const VolumeLayout at(v);
    for (std::uint32_t i = 0; i < 50'000; ++i)
        Put32(v, at.Entry(2 + i) + 4, Get32(v, at.Entry(2 + i) + 4) + i);
    const std::string vol = WriteFile(dir / "slide.vol", v);
    const ToolRun r = RunToolWithin(kBudget, ToolPath("tarnvol"), {"extract", vol, MakeFolder(dir / "out"), "*"});
    EXPECT_EQ(r.exitCode, 1) << r.err.substr(0, 300);
    EXPECT_EQ(ReadFile(dir / "out/x.cs"), "xdata");
    EXPECT_NE(r.err.find("tarnvol extract: nnnn"), std::string::npos) << r.err.substr(0, 300);
    EXPECT_NE(r.err.find(" bytes, longer than any path\n"), std::string::npos) << r.err.substr(0, 300);
    EXPECT_LT(r.err.size(), 200u * 50'001) << "each name is told shortened";
}

#endif
