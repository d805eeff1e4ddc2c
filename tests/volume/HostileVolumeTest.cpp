// The reader against volumes made to hurt it: positions at the edge of the
// 32-bit range, a 2 GB sparse file that claims a 2 GB name block, things
// that are not files, a file that goes away between the check and the read,
// and one only root could read.
#include "volume/VolumeWriter.h"
#include "volume/clsVOLReader.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::TempDir;

namespace {

using tarnwick::test::Le32;

class HostileVolume : public ::testing::Test {
protected:
    HostileVolume()
    {
        reader.Error = [this](std::int16_t n, const std::string&) { numbers.push_back(n); };
    }
    // Lists a good volume first, so that every failure can be checked to
    // leave its values alone.
    void ListGood()
    {
        VolumeWriter w;
        w.Add("keep\\me.cs", "x");
        ASSERT_TRUE(w.Write(dir / "good.vol"));
        ASSERT_EQ(reader.GetFileNames(dir / "good.vol"), "keep\\me.cs/");
        numbers.clear();
    }
    void ExpectGoodKept()
    {
        EXPECT_EQ(reader.FileCount(), 1);
        EXPECT_EQ(reader.GetDebugInfo(), "keep\\me.cs 0 0 0\\");
    }

    TempDir dir;
    clsVOLReader reader{PathStyle::Posix};
    std::vector<int> numbers;
};

} // namespace

TEST_F(HostileVolume, PositionsAtTheTopOfTheRangeAreDamagedNotOverflowed)
{
    ListGood();
    // D, S and the VOLI position all 0x7FFFFFFF or summing past it: in
    // 32-bit arithmetic D + 13 + S wraps to a small offset inside the file.
    const std::string tail = std::string(64, '\0');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"d-max", "PVOL" + Le32(0x7FFFFFFF) + tail},
        {"s-max", "PVOL" + Le32(8) + "vols" + Le32(0x7FFFFFFF) + tail},
        {"s-wraps-voli", "PVOL" + Le32(8) + "vols" + Le32(0x7FFFFFF8) + tail},
        {"d-and-s-large", "PVOL" + Le32(0x7FFFFFF0) + tail},
    };
    for (const auto& [name, bytes] : cases) {
        numbers.clear();
        test::WriteFile(dir / (name + ".vol"), bytes);
        EXPECT_EQ(reader.GetFileNames(dir / (name + ".vol")), "") << name;
        EXPECT_EQ(numbers, std::vector<int>{7}) << name;
        ExpectGoodKept();
    }
}

TEST_F(HostileVolume, NameBlockWithoutAnyNulIsOneName)
{
    const std::string block = "abcdefgh";
    test::WriteFile(dir / "nonul.vol", "PVOL" + Le32(8) + "vols" + Le32(8) + block + std::string("\0voli", 5) + Le32(0));
    EXPECT_EQ(reader.GetFileNames(dir / "nonul.vol"), "abcdefgh");
    EXPECT_EQ(reader.FileCount(), 1);
    EXPECT_EQ(reader.TableName(0), "abcdefg");
    EXPECT_TRUE(numbers.empty());
}

TEST_F(HostileVolume, SparseTwoGigabyteFileClaimingATwoGigabyteNameBlock)
{
    ListGood();
    // Every position lies inside the file, so only a bound on the name
    // block keeps the reader from allocating (and reading) 2 GB of zeros.
    const std::string path = dir / "sparse.vol";
    const std::uint32_t s = 0x7FFFFF00u;
    test::WriteFile(path, "PVOL" + Le32(8) + "vols" + Le32(s));
    std::filesystem::resize_file(path, std::uintmax_t(8) + 17 + s + 64);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(reader.GetFileNames(path), "");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(numbers, std::vector<int>{7});
    EXPECT_LT(took, std::chrono::seconds(1)) << "the block was read";
    ExpectGoodKept();
}

TEST_F(HostileVolume, ShortFilesAreNotVolumes)
{
    for (std::string bytes : {std::string(), std::string("P"), std::string("PVO")}) {
        numbers.clear();
        test::WriteFile(dir / "short.vol", bytes);
        EXPECT_FALSE(reader.IsValidVolume(dir / "short.vol")) << bytes.size();
        EXPECT_EQ(reader.GetFileNames(dir / "short.vol"), "");
        EXPECT_EQ(numbers, (std::vector<int>{3, 3})) << bytes.size();
    }
}

TEST_F(HostileVolume, FolderAndFifoNamedLikeAVolume)
{
    ListGood();
    std::filesystem::create_directory(dir / "folder.vol");
    ASSERT_EQ(::mkfifo((dir / "pipe.vol").c_str(), 0644), 0);
    for (const char* name : {"folder.vol", "pipe.vol"}) {
        numbers.clear();
        EXPECT_FALSE(reader.IsValidVolume(dir / name)) << name;
        EXPECT_EQ(reader.GetFileNames(dir / name), "") << name;
        EXPECT_EQ(numbers, (std::vector<int>{1, 1})) << name;
    }
    ExpectGoodKept();

    // Even when the existence test is fooled (a FIFO swapped in after it),
    // the read must not block on a pipe that nobody writes.
    const std::string pipe = dir / "pipe.vol";
    const int code = test::RunInChild([&] {
        ::alarm(5);
        clsVOLReader::Hooks hooks;
        hooks.IsPlainFile = [](const std::string&) { return true; };
        clsVOLReader fooled(PathStyle::Posix, hooks);
        int last = 0;
        fooled.Error = [&](std::int16_t n, const std::string&) { last = n; };
        return fooled.GetFileNames(pipe).empty() && last == 7 ? 0 : 1;
    });
    EXPECT_EQ(code, 0) << "-1: the reader blocked on the FIFO";
}

TEST_F(HostileVolume, FileThatVanishesBetweenTheCheckAndTheRead)
{
    ListGood();
    VolumeWriter w;
    w.Add("a.cs", "x");
    const std::string path = dir / "vanish.vol";
    ASSERT_TRUE(w.Write(path));
    clsVOLReader::Hooks hooks;
    hooks.IsPlainFile = [](const std::string& p) {
        const bool there = std::filesystem::is_regular_file(p);
        std::remove(p.c_str());
        return there;
    };
    clsVOLReader racing(PathStyle::Posix, hooks);
    std::vector<int> seen;
    racing.Error = [&](std::int16_t n, const std::string&) { seen.push_back(n); };
    EXPECT_EQ(racing.GetFileNames(path), "");
    EXPECT_EQ(seen, std::vector<int>{7});
    EXPECT_EQ(racing.FileCount(), 0);
}

TEST_F(HostileVolume, UnreadableVolumeEvenWhenTheSuiteRunsAsRoot)
{
    VolumeWriter w;
    w.Add("a.cs", "x");
    const std::string path = dir / "locked.vol";
    ASSERT_TRUE(w.Write(path));
    ::chmod(path.c_str(), 0);
    ::chmod(dir.Path().c_str(), 0755);
    const int code = test::RunInChild(
        [&] {
            clsVOLReader r(PathStyle::Posix);
            int last = 0;
            r.Error = [&](std::int16_t n, const std::string&) { last = n; };
            const bool valid = r.IsValidVolume(path);
            return !valid && last == 7 && r.GetFileNames(path).empty() ? 0 : 1;
        },
        test::ChildLimits{-1, true});
    EXPECT_EQ(code, 0);
}
