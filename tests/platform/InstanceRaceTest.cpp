// The one-instance lock under the conditions that break naive locks: several
// starts released at the same instant, a holder that is killed, and a lock
// path that someone has pointed elsewhere.
#include "platform/os/Instance.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using tarnwick::os::InstanceLock;
using tarnwick::test::TempDir;

namespace {

// Starts `count` processes that all wait on one pipe, then lets them go at
// once; each tries the lock and reports 'y' or 'n' on a second pipe, then
// holds what it got for `holdMs` so that every rival overlaps it.
std::string RaceForTheLock(const std::string& folder, int count, int holdMs)
{
    int gate[2], report[2];
    if (::pipe(gate) != 0 || ::pipe(report) != 0)
        return "pipe failed";
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            ::close(report[0]);
            char c;
            (void)!::read(gate[0], &c, 1); // returns when the parent closes the gate
            InstanceLock lock("tarnwick", folder);
            const char answer = lock.Acquired() ? 'y' : (lock.Usable() ? 'n' : 'u');
            (void)!::write(report[1], &answer, 1);
            ::usleep(static_cast<useconds_t>(holdMs) * 1000);
            ::_exit(0);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(report[1]);
    ::close(gate[1]); // all go
    std::string answers;
    char c;
    while (::read(report[0], &c, 1) == 1)
        answers += c;
    ::close(report[0]);
    for (pid_t pid : children)
        ::waitpid(pid, nullptr, 0);
    return answers;
}

} // namespace

TEST(InstanceRace, StartsReleasedTogetherLeaveExactlyOneRunning)
{
    TempDir dir;
    for (int round = 0; round < 4; ++round) {
        const std::string answers = RaceForTheLock(dir.Path(), 6, 200);
        ASSERT_EQ(answers.size(), 6u) << "round " << round;
        EXPECT_EQ(std::count(answers.begin(), answers.end(), 'y'), 1) << answers;
        EXPECT_EQ(std::count(answers.begin(), answers.end(), 'n'), 5) << answers;
    }
}

TEST(InstanceRace, KilledHolderDoesNotBlockTheNextStart)
{
    TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = ::fork();
    if (holder == 0) {
        ::close(ready[0]);
        InstanceLock lock("tarnwick", dir.Path());
        const char c = lock.Acquired() ? 'y' : 'n';
        (void)!::write(ready[1], &c, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(c, 'y');
    {
        InstanceLock second("tarnwick", dir.Path());
        EXPECT_TRUE(second.Usable());
        EXPECT_FALSE(second.Acquired()) << "the live holder was ignored";
    }
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    // The lock file is still there, left by the dead holder.
    ASSERT_TRUE(tarnwick::test::Exists(dir / "tarnwick.lock"));
    InstanceLock next("tarnwick", dir.Path());
    EXPECT_TRUE(next.Acquired());
}

TEST(InstanceRace, SecondLockInTheSameProcessIsRefusedAndFreedWithTheFirst)
{
    TempDir dir;
    auto first = std::make_unique<InstanceLock>("tarnwick", dir.Path());
    ASSERT_TRUE(first->Acquired());
    EXPECT_FALSE(InstanceLock("tarnwick", dir.Path()).Acquired());
    first.reset();
    EXPECT_TRUE(InstanceLock("tarnwick", dir.Path()).Acquired());
}

TEST(InstanceRace, LockPathPointedAtAnotherFileLeavesThatFileAlone)
{
    TempDir dir;
    const std::string victim = dir / "precious.txt";
    tarnwick::test::WriteFile(victim, "keep me");
    ASSERT_EQ(::symlink(victim.c_str(), (dir / "tarnwick.lock").c_str()), 0);
    InstanceLock lock("tarnwick", dir.Path());
    EXPECT_FALSE(lock.Acquired());
    EXPECT_EQ(tarnwick::test::ReadFile(victim), "keep me") << "the lock wrote through the link";
}
