// The outputs of Files.h on a real disk, on both systems: what stands under
// the final name and beside it after each way a replacement can end, and
// which names a stream output takes or refuses.
#include "os/Files.h"
#include "os/PathStyle.h"
#include "os/ReplaceNames.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#ifdef _WIN32
#include <windows.h>
#undef DeleteFile
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>
#endif

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

// The folder's names, the temporary file's own given as "<temporary>".
std::set<std::string> Listing(const std::string& folder, const std::string& tempName = "")
{
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        names.insert(name == tempName ? "<temporary>" : name);
    }
    return names;
}

void OldFile(const std::string& out, const std::string& = {}) { test::WriteFile(out, "the old file"); }

} // namespace

TEST(AtomicOutput, EachWayAReplacementEndsLeavesTheFinalNameWholeAndNoTemporary)
{
    struct Case {
        const char* what;
        std::string name; // the output below the test folder; "" an empty name
        std::function<void(const std::string& out, const std::string& temp)> before;
        bool opens;
        int commit;           // -1: never called; else what it answers
        std::string checked;  // a file below the test folder afterwards
        const char* bytes;    // its bytes then; nullptr: no file there
        std::set<std::string> left; // the test folder's names afterwards
    };
    const auto nothing = [](const std::string&, const std::string&) {};
#ifdef _WIN32
    constexpr bool kWrittenUnnamed = false;
#else
    constexpr bool kWrittenUnnamed = true;
#endif
    const Case cases[] = {
        {"a new file", "out.bin", nothing, true, 1, "out.bin", "new bytes", {"out.bin"}},
        {"an old file replaced", "out.bin", OldFile, true, 1, "out.bin", "new bytes", {"out.bin"}},
        {"given up before the commit: the old file stays", "out.bin", OldFile, true, -1, "out.bin", "the old file",
         {"out.bin"}},
        {"given up with nothing there: nothing is left", "out.bin", nothing, true, -1, "out.bin", nullptr, {}},
        {"a killed run's temporary file goes", "out.bin",
         [](const std::string& out, const std::string& temp) { OldFile(out), test::WriteFile(temp, "half a run"); },
         true, 1, "out.bin", "new bytes", {"out.bin"}},
        {"a folder under the final name fails the rename and stays whole", "out.bin",
         [](const std::string& out, const std::string&) { test::WriteFile(out + "/inside", "kept"); }, true, 0,
         "out.bin/inside", "kept", {"out.bin"}},
        // Where a file is written without a name, the folder stops it only
        // when it comes to replacing the old one.
        {"a folder under the temporary name is not removed: the old file stays", "out.bin",
         [](const std::string& out, const std::string& temp) { OldFile(out), test::WriteFile(temp + "/in", "x"); },
         kWrittenUnnamed, 0, "out.bin", "the old file", {"out.bin", "<temporary>"}},
        {"a missing folder: nothing opens, nothing is made", "missing/out.bin", nothing, false, 0, "missing/out.bin",
         nullptr, {}},
        {"an empty name opens nothing", "", nothing, false, 0, "out.bin", nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string out = c.name.empty() ? "" : dir / c.name, temp = ReplaceTempName(out, NativePathStyle());
        c.before(out, temp);
        const bool stoodBefore = test::Exists(out);
        const std::string before = test::ReadFile(out);
        const std::set<std::string> listedBefore = Listing(dir.Path(), fs::path(temp).filename().string());
        {
            os::AtomicOutputFile file(out);
            EXPECT_EQ(file.IsOpen(), c.opens);
            EXPECT_EQ(file.Write("new ", 4) && file.Write("bytes", 5), c.opens);
            if (c.opens) {
#ifdef _WIN32
                EXPECT_TRUE(test::Exists(temp)); // shared with no one while it is written
#else
                // Written without a name: nothing new stands beside it.
                EXPECT_EQ(Listing(dir.Path(), fs::path(temp).filename().string()), listedBefore);
#endif
                EXPECT_TRUE(test::Exists(out) == stoodBefore && test::ReadFile(out) == before)
                    << "the final name changed before the commit";
            }
            if (c.commit >= 0) {
                EXPECT_EQ(file.Commit(), c.commit == 1);
                EXPECT_FALSE(file.IsOpen()) << "open after the commit";
                EXPECT_FALSE(file.Write("x", 1)) << "a write after the commit";
                EXPECT_FALSE(file.Commit()) << "a second commit";
            }
        }
        EXPECT_EQ(test::Exists(dir / c.checked), c.bytes != nullptr);
        if (c.bytes) {
            EXPECT_EQ(test::ReadFile(dir / c.checked), c.bytes);
        }
        EXPECT_EQ(Listing(dir.Path(), fs::path(temp).filename().string()), c.left);
    }
}

TEST(AtomicOutput, AnOutputThatGoesAfterItsCommitLeavesTheNextTemporaryOfItsNameAlone)
{
    test::TempDir dir;
    const std::string out = dir / "out.bin";
    auto first = std::make_unique<os::AtomicOutputFile>(out);
    ASSERT_TRUE(first->Write("first", 5) && first->Commit());
    os::AtomicOutputFile second(out); // under the same temporary name
    ASSERT_TRUE(second.IsOpen());
    first.reset();
    EXPECT_TRUE(second.Write("second", 6) && second.Commit());
    EXPECT_EQ(test::ReadFile(out), "second");
}

// Two runs writing one output at once, each in turn: whichever reports
// success, the output then holds that run's bytes whole, and neither takes
// the other's temporary file for a leftover.
TEST(AtomicOutput, TwoRunsForOneOutputNeverHandEachOtherTheirBytes)
{
    test::TempDir dir;
    const std::string out = dir / "out.bin";
    os::AtomicOutputFile first(out);
    ASSERT_TRUE(first.Write("first ", 6));
    {
        os::AtomicOutputFile second(out);
        if (second.IsOpen()) {
            second.Write("second, half", 12);
            EXPECT_TRUE(!second.Commit() || test::ReadFile(out) == "second, half");
        }
    }
    ASSERT_TRUE(first.Write("whole", 5));
    ASSERT_TRUE(first.Commit()) << "the first run lost its temporary file to the second";
    EXPECT_EQ(test::ReadFile(out), "first whole");
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"out.bin"});
}

#ifndef _WIN32
TEST(AtomicOutput, TheNewFileHasTheModeTheUserMaskLeaves)
{
    for (const mode_t mask : {022, 077, 002, 0}) {
        test::TempDir dir;
        const std::string out = dir / "out.bin";
        const mode_t saved = ::umask(mask);
        os::AtomicOutputFile file(out);
        const bool committed = file.Write("x", 1) && file.Commit();
        ::umask(saved);
        struct stat st {};
        ASSERT_TRUE(committed && ::stat(out.c_str(), &st) == 0) << std::oct << mask;
        EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask) << std::oct << mask;
    }
}
#else
TEST(AtomicOutput, TheTemporaryFileIsSharedWithNoOneAndTheNewFileIsAPlainOne)
{
    test::TempDir dir;
    const std::string out = dir / "out.bin", temp = ReplaceTempName(out, NativePathStyle());
    os::AtomicOutputFile file(out);
    ASSERT_TRUE(file.IsOpen());
    HANDLE other = ::CreateFileA(temp.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = ::GetLastError();
    if (other != INVALID_HANDLE_VALUE)
        ::CloseHandle(other);
    EXPECT_TRUE(other == INVALID_HANDLE_VALUE && error == ERROR_SHARING_VIOLATION) << error;
    ASSERT_TRUE(file.Write("x", 1) && file.Commit());
    const DWORD attributes = ::GetFileAttributesA(out.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY), 0u);
}
#endif

TEST(StreamOutput, OnlyAStreamIsWrittenInPlaceAndAFailureIsToldAtTheClose)
{
    struct Case {
        const char* what;
        std::string target; // below the test folder, unless absolute or empty
        const char* kept;   // the bytes of a plain file made there first
        bool opens, writes, closes;
    };
#ifdef _WIN32
    const std::string null = "NUL";
#else
    const std::string null = "/dev/null";
#endif
    const Case cases[] = {
        {"a regular file", "plain", "untouched", false, false, false},
        {"a missing name", "missing", nullptr, false, false, false},
        {"a folder", ".", nullptr, false, false, false},
        {"an empty name", "", nullptr, false, false, false},
        {"the null device", null, nullptr, true, true, true},
#ifndef _WIN32
        {"a device that is always full", "/dev/full", nullptr, true, false, false},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const bool below = !c.target.empty() && c.target[0] != '/' && c.target != null;
        const std::string path = below ? dir / c.target : c.target;
        if (c.kept)
            test::WriteFile(path, c.kept);
        const auto before = Listing(dir.Path());
        {
            os::StreamOutput out(path);
            EXPECT_EQ(out.IsOpen(), c.opens);
            EXPECT_EQ(out.Write("bytes", 5), c.writes);
            EXPECT_EQ(out.Write("more", 4), c.writes) << "a write after a failed one";
            EXPECT_EQ(out.Close(), c.closes);
            EXPECT_FALSE(out.IsOpen());
            EXPECT_FALSE(out.Write("x", 1)) << "a write after the close";
            EXPECT_FALSE(out.Close()) << "a second close";
        }
        EXPECT_EQ(Listing(dir.Path()), before);
        if (c.kept) {
            EXPECT_EQ(test::ReadFile(path), c.kept);
        }
    }
}

#ifndef _WIN32
TEST(StreamOutput, AFifoWhoseReaderWentFailsTheWriteAndKillsNoOne)
{
    test::TempDir dir;
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK); // so that our open does not wait
    ASSERT_GE(reader, 0);
    os::StreamOutput out(fifo);
    ::close(reader);
    ASSERT_TRUE(out.IsOpen());
    EXPECT_FALSE(out.Write("bytes", 5)); // SIGPIPE would end the test program here
    EXPECT_FALSE(out.Close());
    struct stat st {};
    EXPECT_TRUE(::lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST(StreamOutput, WritesCutShortBySignalsStillDeliverEveryByteInOrder)
{
    test::TempDir dir;
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string data(4 << 20, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + i / 4096);
    // Our end is open first, so that the output's open does not wait.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    os::StreamOutput out(fifo);
    ::fcntl(reader, F_SETFL, ::fcntl(reader, F_GETFL) & ~O_NONBLOCK);
    // Only this thread takes the signals; the slow reader makes the write wait on a full pipe again and again.
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    ::pthread_sigmask(SIG_BLOCK, &alarm, nullptr);
    std::string got;
    std::thread drain([&] {
        char buffer[16384];
        for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0; ::usleep(50))
            got.append(buffer, static_cast<std::size_t>(n));
    });
    ::pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr);
    struct sigaction action {}, saved {};
    action.sa_handler = [](int) {}; // no SA_RESTART: the write returns early
    ::sigaction(SIGALRM, &action, &saved);
    const itimerval every{{0, 200}, {0, 200}}, off{};
    ::setitimer(ITIMER_REAL, &every, nullptr);
    const bool wrote = out.Write(data.data(), std::int64_t(data.size()));
    ::setitimer(ITIMER_REAL, &off, nullptr);
    const bool closed = out.Close();
    ::sigaction(SIGALRM, &saved, nullptr);
    drain.join();
    ::close(reader);
    EXPECT_TRUE(wrote && closed);
    EXPECT_TRUE(got == data) << got.size() << " of " << data.size() << " bytes arrived, or out of order";
}
#endif

TEST(StreamOutput, StandardOutputIsWrittenButNeverClosed)
{
    {
        os::StreamOutput out, untouched; // the second goes without a close
        ASSERT_TRUE(out.IsOpen() && untouched.IsOpen());
        EXPECT_TRUE(out.Write("", 0));
        EXPECT_TRUE(out.Close());
        EXPECT_FALSE(out.Close()) << "a second close";
    }
#ifdef _WIN32
    EXPECT_NE(::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE)), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
#else
    EXPECT_NE(::fcntl(STDOUT_FILENO, F_GETFD), -1);
#endif
}
