// Files under a full disk, non-files where a file is expected, offsets from a
// damaged file; and the one-instance lock where naive locks break.
#include "os/Files.h"
#include "os/Instance.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarnwick;
using os::InstanceLock;
namespace fs = std::filesystem;

namespace {

class HostileFiles : public ::testing::Test {
protected:
    test::TempDir dir;
};
class InstanceRace : public HostileFiles {};

TEST_F(HostileFiles, FullDiskFailsTheWriteAndKeepsTheOldFile)
{
    const std::string target = dir / "out.bin";
    test::WriteFile(target, "the old contents");
    const int code = test::RunInChild([&] { // 64 KB may be written, 1 MB is tried
        os::AtomicOutputFile out(target);
        const std::string block(1 << 20, 'x');
        if (!out.IsOpen())
            return 10;
        return out.Write(block.data(), std::int64_t(block.size())) ? 11 : out.Commit() ? 12 : 0;
    }, {64 * 1024, false});
    EXPECT_EQ(code, 0) << "10: not opened, 11: write reported success, 12: commit reported success";
    EXPECT_EQ(test::ReadFile(target), "the old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << "a temporary file stayed";
}

TEST_F(HostileFiles, ReadOnlyFolderRefusesTheOutputFile)
{
    const std::string folder = dir / "locked";
    fs::create_directory(folder);
    ::chmod(folder.c_str(), 0555);
    const int code = test::RunInChild([&] {
        os::AtomicOutputFile out(folder + "/a.cs");
        return out.IsOpen() || out.Write("x", 1) || out.Commit() ? 1 : 0;
    }, {-1, true});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 0);
}

TEST_F(HostileFiles, FifoAndFolderAreNotPlainFilesAndNeverBlock)
{
    const std::string fifo = dir / "named.vol", folder = dir / "folder.vol";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_directory(folder);
    for (const std::string& path : {fifo, folder})
        EXPECT_FALSE(os::IsPlainFile(path) || os::FileLength(path)) << path;
    EXPECT_FALSE(os::PlainExists(fifo));
    // A blocking open of a FIFO with no writer would hang: the alarm ends the child then.
    const int code = test::RunInChild([&] {
        ::alarm(5);
        return os::InputFile(fifo).IsOpen() || os::InputFile(folder).IsOpen() ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "-1: the open blocked";
}

TEST_F(HostileFiles, ReadsAtOffsetsOutsideTheFileAndOfAFileThatVanishedAfterTheCheck)
{
    test::WriteFile(dir / "small", "PVOL1234");
    os::InputFile in(dir / "small");
    ASSERT_TRUE(in.IsOpen());
    char buf[16] = {};
    EXPECT_EQ(in.ReadAt(-1, buf, 4), -1);
    EXPECT_EQ(in.ReadAt(0, buf, -4), -1);
    EXPECT_EQ(in.ReadAt(0x7FFFFFFF, buf, 4), 0);
    EXPECT_EQ(in.ReadAt(6, buf, 16), 2);
    EXPECT_EQ(std::string(buf, 2), "34");
    ASSERT_TRUE(os::IsPlainFile(dir / "small") && os::DeleteFile(dir / "small"));
    os::InputFile gone(dir / "small");
    EXPECT_FALSE(gone.IsOpen());
    EXPECT_EQ(gone.ReadAt(0, buf, 4), -1);
    EXPECT_FALSE(gone.Size().has_value());
}

// Six children wait on one pipe and are let go at once; each reports 'y', 'n'
// or 'u' (unusable) and holds what it got long enough to overlap every rival.
std::string RaceForTheLock(const std::string& folder)
{
    int gate[2], report[2];
    if (::pipe(gate) != 0 || ::pipe(report) != 0)
        return "pipe failed";
    std::vector<pid_t> children;
    for (int i = 0; i < 6; ++i) {
        if (const pid_t pid = ::fork(); pid != 0) {
            children.push_back(pid);
            continue;
        }
        ::close(gate[1]);
        char c;
        (void)!::read(gate[0], &c, 1); // returns when the parent closes the gate
        InstanceLock lock("tarnwick", folder);
        c = lock.Acquired() ? 'y' : lock.Usable() ? 'n' : 'u';
        (void)!::write(report[1], &c, 1);
        ::usleep(200 * 1000);
        ::_exit(0);
    }
    for (int fd : {gate[0], gate[1], report[1]})
        ::close(fd);
    std::string answers;
    for (char c; ::read(report[0], &c, 1) == 1;)
        answers += c;
    ::close(report[0]);
    for (pid_t pid : children)
        ::waitpid(pid, nullptr, 0);
    std::sort(answers.begin(), answers.end());
    return answers;
}

TEST_F(InstanceRace, StartsReleasedTogetherLeaveExactlyOneRunning)
{
    for (int round = 0; round < 4; ++round)
        EXPECT_EQ(RaceForTheLock(dir.Path()), "nnnnny") << "round " << round;
}

TEST_F(InstanceRace, KilledHolderDoesNotBlockTheNextStart)
{
    const pid_t holder = ::fork();
    if (holder == 0) {
        InstanceLock lock("tarnwick", dir.Path());
        ::raise(lock.Acquired() ? SIGSTOP : SIGTERM); // stopped while it holds the lock
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(holder, &status, WUNTRACED), holder);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the holder got no lock";
    EXPECT_FALSE(InstanceLock("tarnwick", dir.Path()).Acquired()) << "the live holder was ignored";
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ASSERT_TRUE(test::Exists(dir / "tarnwick.lock")) << "the dead holder's file should remain";
    EXPECT_TRUE(InstanceLock("tarnwick", dir.Path()).Acquired());
}

TEST_F(InstanceRace, LockPathPointedAtAnotherFileLeavesThatFileAlone)
{
    test::WriteFile(dir / "precious.txt", "keep me");
    ASSERT_EQ(::symlink((dir / "precious.txt").c_str(), (dir / "tarnwick.lock").c_str()), 0);
    EXPECT_FALSE(InstanceLock("tarnwick", dir.Path()).Acquired());
    EXPECT_EQ(test::ReadFile(dir / "precious.txt"), "keep me") << "the lock wrote through the link";
}

} // namespace
