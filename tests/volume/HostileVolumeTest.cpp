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
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::Le32;
using Numbers = std::vector<int>;

namespace {

// A reader whose plain-file check is `isPlainFile` (the system's when empty),
// and the error numbers it gives.
struct Reader {
    explicit Reader(std::function<bool(const std::string&)> isPlainFile = {})
        : reader(PathStyle::Posix, [&] {
              OsServices services;
              services.IsPlainFile = std::move(isPlainFile);
              return services;
          }())
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

    test::TempDir dir;
    const std::string good = dir / "good.vol";
    Reader r;
};

} // namespace

TEST_F(HostileVolume, RefusedQuicklyAndTheListedVolumeKept)
{
    const std::string tail(64, '\0');
    const std::uint32_t huge = 0x7FFFFF00u;
    std::filesystem::create_directory(dir / "folder.vol");
    ASSERT_EQ(::mkfifo((dir / "pipe.vol").c_str(), 0644), 0);
    const struct {
        const char* name;
        std::string bytes; // not written for the folder and the FIFO (error 1)
        std::uintmax_t sparseSize;
        int number;
    } cases[] = {
        // In 32-bit arithmetic D + 13 + S wraps to a small offset inside the file.
        {"d-max.vol", "PVOL" + Le32(0x7FFFFFFF) + tail, 0, 7},
        {"s-max.vol", "PVOL" + Le32(8) + "vols" + Le32(0x7FFFFFFF) + tail, 0, 7},
        {"s-wraps-voli.vol", "PVOL" + Le32(8) + "vols" + Le32(0x7FFFFFF8) + tail, 0, 7},
        // Every position inside the file: only a bound keeps 2 GB of zeros from being read.
        {"sparse.vol", "PVOL" + Le32(8) + "vols" + Le32(huge), std::uintmax_t(8) + 17 + huge + 64, 7},
        {"empty.vol", "", 0, 3},
        {"pvo.vol", "PVO", 0, 3},
        {"folder.vol", "", 0, 1},
        {"pipe.vol", "", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        if (c.number != 1)
            test::WriteFile(path, c.bytes);
        if (c.sparseSize)
            std::filesystem::resize_file(path, c.sparseSize);
        r.numbers.clear();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(r.reader.GetFileNames(path), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(r.numbers, Numbers{c.number});
        EXPECT_EQ(r.reader.GetDebugInfo(), "keep\\me.cs 0 0 0\\");
        if (c.number != 7) {
            EXPECT_FALSE(r.reader.IsValidVolume(path));
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
    // Shown whole, as the extractor finds it.
    EXPECT_EQ(*r.reader.ListText(), "abcdefgh/");
    EXPECT_TRUE(r.numbers.empty());
}

TEST_F(HostileVolume, AFooledPlainFileCheckNeitherBlocksNorReadsWhatIsGone)
{
    // A FIFO that slips past the check must not block the read.
    const auto readFooled = [&] {
        ::alarm(5);
        Reader fooled([](const std::string&) { return true; });
        return fooled.reader.GetFileNames(dir / "pipe.vol").empty() && fooled.numbers == Numbers{7} ? 0 : 1;
    };
    ASSERT_EQ(::mkfifo((dir / "pipe.vol").c_str(), 0644), 0);
    EXPECT_EQ(test::RunInChild(readFooled), 0) << "-1: the reader blocked on the FIFO";
    // The file vanishes between the check and the read.
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
    // 32 Mi one-letter names, the most a volume may hold: the table may add
    // about the block's size again, not a pointer's worth per name.
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
