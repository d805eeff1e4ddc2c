// The reader against files made to hurt it. Each failure must leave the
// volume listed before alone.
#include "volume/clsVOLReader.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::Le32;
using Numbers = std::vector<int>;

namespace {

OsServices WithPlainFileCheck(std::function<bool(const std::string&)> isPlainFile)
{
    OsServices services;
    services.IsPlainFile = std::move(isPlainFile);
    return services;
}

// A reader whose plain-file check is `isPlainFile`, and the error numbers it gives.
struct Reader {
    explicit Reader(std::function<bool(const std::string&)> isPlainFile = {})
        : reader(PathStyle::Posix, WithPlainFileCheck(std::move(isPlainFile)))
    {
        reader.Error = [this](std::int16_t n, const std::string&) { numbers.push_back(n); };
    }
    clsVOLReader reader;
    Numbers numbers;
};

class HostileVolume : public ::testing::Test {
protected:
    HostileVolume()
    {
        test::WriteVolume(good, {{"keep\\me.cs", "x"}});
        EXPECT_EQ(r.reader.GetFileNames(good), "keep\\me.cs/");
    }
    void ExpectRefused(const std::string& path, int number)
    {
        r.numbers.clear();
        EXPECT_EQ(r.reader.GetFileNames(path), "") << path;
        EXPECT_EQ(r.numbers, Numbers{number}) << path;
        EXPECT_EQ(r.reader.GetDebugInfo(), "keep\\me.cs 0 0 0\\") << path;
    }

    test::TempDir dir;
    const std::string good = dir / "good.vol";
    Reader r;
};

} // namespace

TEST_F(HostileVolume, ShortFilesAndPositionsAtTheTopOfTheRange)
{
    // In 32-bit arithmetic D + 13 + S wraps to a small offset inside the file.
    const std::string tail(64, '\0');
    const std::tuple<const char*, std::string, int> cases[] = {
        {"d-max", "PVOL" + Le32(0x7FFFFFFF) + tail, 7},
        {"s-max", "PVOL" + Le32(8) + "vols" + Le32(0x7FFFFFFF) + tail, 7},
        {"s-wraps-voli", "PVOL" + Le32(8) + "vols" + Le32(0x7FFFFFF8) + tail, 7},
        {"empty.vol", "", 3}, {"p.vol", "P", 3}, {"pvo.vol", "PVO", 3}, // too short to be volumes
    };
    for (const auto& [name, bytes, number] : cases) {
        ExpectRefused(test::WriteFile(dir / name, bytes), number);
        if (number == 3) {
            EXPECT_FALSE(r.reader.IsValidVolume(dir / name)) << name;
        }
    }
}

TEST_F(HostileVolume, NameBlockWithoutAnyNulIsOneName)
{
    const std::string block = "PVOL" + Le32(8) + "vols" + Le32(8) + std::string("abcdefgh\0voli", 13) + Le32(0);
    r.numbers.clear();
    EXPECT_EQ(r.reader.GetFileNames(test::WriteFile(dir / "nonul.vol", block)), "abcdefgh");
    EXPECT_EQ(r.reader.FileCount(), 1);
    EXPECT_EQ(r.reader.TableName(0), "abcdefg");
    EXPECT_TRUE(r.numbers.empty());
}

TEST_F(HostileVolume, SparseTwoGigabyteFileClaimingATwoGigabyteNameBlock)
{
    // Every position lies inside the file: only a bound on the name block
    // keeps the reader from allocating and reading 2 GB of zeros.
    const std::uint32_t s = 0x7FFFFF00u;
    const std::string path = test::WriteFile(dir / "sparse.vol", "PVOL" + Le32(8) + "vols" + Le32(s));
    std::filesystem::resize_file(path, std::uintmax_t(8) + 17 + s + 64);
    const auto start = std::chrono::steady_clock::now();
    ExpectRefused(path, 7);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "the block was read";
}

TEST_F(HostileVolume, FolderAndFifoNamedLikeAVolume)
{
    std::filesystem::create_directory(dir / "folder.vol");
    const std::string pipe = dir / "pipe.vol";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    for (const std::string& path : {dir / "folder.vol", pipe}) {
        ExpectRefused(path, 1);
        EXPECT_FALSE(r.reader.IsValidVolume(path)) << path;
    }
    // A FIFO that slips past the check must not block the read.
    const auto readFooled = [&] {
        ::alarm(5);
        Reader fooled([](const std::string&) { return true; });
        return fooled.reader.GetFileNames(pipe).empty() && fooled.numbers == Numbers{7} ? 0 : 1;
    };
    EXPECT_EQ(test::RunInChild(readFooled), 0) << "-1: the reader blocked on the FIFO";
}

TEST_F(HostileVolume, FileThatVanishesBetweenTheCheckAndTheRead)
{
    Reader racing([](const std::string& p) { return std::filesystem::is_regular_file(p) && std::remove(p.c_str()) == 0; });
    EXPECT_EQ(racing.reader.GetFileNames(good), "");
    EXPECT_EQ(racing.numbers, Numbers{7});
    EXPECT_EQ(racing.reader.FileCount(), 0);
}

TEST_F(HostileVolume, UnreadableVolumeEvenWhenTheSuiteRunsAsRoot)
{
    ::chmod(good.c_str(), 0);
    ::chmod(dir.Path().c_str(), 0755);
    // It exists but cannot be read: damaged (7), not "not a volume" (3).
    const auto readAsNobody = [&] {
        Reader locked;
        const bool valid = locked.reader.IsValidVolume(good);
        return !valid && locked.reader.GetFileNames(good).empty() && locked.numbers == Numbers{7, 7} ? 0 : 1;
    };
    EXPECT_EQ(test::RunInChild(readAsNobody, {-1, true}), 0);
}

TEST_F(HostileVolume, LargestNameBlockOfOneLetterNamesListsInLittleMoreThanItsOwnSize)
{
    if (test::UnderAddressSanitizer())
        GTEST_SKIP() << "AddressSanitizer reserves more address space than any budget";
    // 64 MiB of one-letter names: 32 Mi names, the most a volume may hold.
    // The returned text is S; the table may add about S more, not a
    // pointer's worth per name.
    constexpr std::int64_t s = 64 << 20;
    const std::string path = test::WriteLetterNamesVolume(dir / "letters.vol", s);
    const auto listInLimit = [&] {
        Reader fresh;
        const std::string text = fresh.reader.GetFileNames(path);
        const bool whole = text.size() == std::size_t(s) && text.compare(0, 6, "a/b/c/") == 0 &&
                           fresh.reader.FileCount() == s / 2 && fresh.reader.TableName(27) == "b" &&
                           fresh.reader.TableName(std::size_t(s / 2 - 1)) == std::string(1, char('a' + (s / 2 - 1) % 26));
        return whole && fresh.numbers.empty() ? 0 : 1;
    };
    EXPECT_EQ(test::RunInChild(listInLimit, {-1, false, s + s * 11 / 10 + (16 << 20)}), 0); // text, table, slack
}
