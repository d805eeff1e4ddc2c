// The OS layer's files under faults: a full disk, things that are not plain
// files where a file is expected, reads at offsets a damaged file asks for.
#include "platform/os/Files.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::ChildLimits;
using tarnwick::test::RunInChild;
using tarnwick::test::TempDir;

namespace {
int EntriesIn(const std::string& folder)
{
    int n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}
} // namespace

TEST(HostileFiles, FullDiskFailsTheWriteAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string target = dir / "out.bin";
    test::WriteFile(target, "the old contents");

    // 64 KB may be written, 1 MB is tried: the write must say so, the commit
    // must refuse, and neither a partial file nor the temporary one stays.
    const int code = RunInChild(
        [&] {
            os::AtomicOutputFile out(target);
            if (!out.IsOpen())
                return 10;
            std::string block(1 << 20, 'x');
            if (out.Write(block.data(), static_cast<std::int64_t>(block.size())))
                return 11;
            if (out.Commit())
                return 12;
            return 0;
        },
        ChildLimits{64 * 1024, false});
    EXPECT_EQ(code, 0) << "10: not opened, 11: write reported success, 12: commit reported success";
    EXPECT_EQ(test::ReadFile(target), "the old contents");
    EXPECT_EQ(EntriesIn(dir.Path()), 1) << "a temporary file was left beside the target";
}

TEST(HostileFiles, ReadOnlyFolderRefusesTheOutputFile)
{
    TempDir dir;
    const std::string folder = dir / "locked";
    std::filesystem::create_directory(folder);
    ::chmod(folder.c_str(), 0555);
    const int code = RunInChild(
        [&] {
            os::AtomicOutputFile out(folder + "/a.cs");
            if (out.IsOpen() || out.Write("x", 1) || out.Commit())
                return 1;
            return 0;
        },
        ChildLimits{-1, true});
    EXPECT_EQ(code, 0);
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(EntriesIn(folder), 0);
}

TEST(HostileFiles, FifoAndFolderAreNotPlainFilesAndNeverBlock)
{
    TempDir dir;
    const std::string fifo = dir / "named.vol";
    const std::string folder = dir / "folder.vol";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_directory(folder);

    EXPECT_FALSE(os::IsPlainFile(fifo));
    EXPECT_FALSE(os::PlainExists(fifo));
    EXPECT_FALSE(os::IsPlainFile(folder));
    EXPECT_FALSE(os::FileLength(fifo).has_value());
    EXPECT_FALSE(os::FileLength(folder).has_value());

    // Opening a FIFO with no writer would hang a blocking open forever; the
    // child is killed by an alarm if it does.
    const int code = RunInChild([&] {
        ::alarm(5);
        os::InputFile a(fifo);
        os::InputFile b(folder);
        return (a.IsOpen() || b.IsOpen()) ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "-1: the open blocked";
}

TEST(HostileFiles, ReadsAtOffsetsOutsideTheFile)
{
    TempDir dir;
    const std::string path = dir / "small";
    test::WriteFile(path, "PVOL1234");
    os::InputFile in(path);
    ASSERT_TRUE(in.IsOpen());
    char buf[16] = {};
    EXPECT_EQ(in.ReadAt(-1, buf, 4), -1);
    EXPECT_EQ(in.ReadAt(0, buf, -4), -1);
    EXPECT_EQ(in.ReadAt(0x7FFFFFFF, buf, 4), 0);
    EXPECT_EQ(in.ReadAt(6, buf, 16), 2);
    EXPECT_EQ(std::string(buf, 2), "34");
}

TEST(HostileFiles, FileThatVanishesAfterTheCheck)
{
    TempDir dir;
    const std::string path = dir / "gone.vol";
    test::WriteFile(path, "PVOL");
    ASSERT_TRUE(os::IsPlainFile(path));
    ASSERT_TRUE(os::DeleteFile(path));
    os::InputFile in(path);
    EXPECT_FALSE(in.IsOpen());
    char b[4];
    EXPECT_EQ(in.ReadAt(0, b, 4), -1);
    EXPECT_FALSE(in.Size().has_value());
}
