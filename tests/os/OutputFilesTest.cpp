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
#include <vector>

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

// Stands in the expected listings for the temporary file's own name.
const std::string kTemp = "<temporary>";

std::set<std::string> Listing(const std::string& folder, const std::string& tempName)
{
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        names.insert(name == tempName ? kTemp : name);
    }
    return names;
}

struct ReplaceCase {
    const char* what;
    std::string name;                                         // the output, below the test folder
    std::function<void(const std::string& out, const std::string& temp)> before;
    bool opens;
    bool commit;    // whether Commit is called at all
    bool committed; // what it answers
    std::string checked;        // a file below the test folder afterwards
    const char* bytes;          // its bytes then; nullptr: no file there
    std::set<std::string> left; // the test folder's names afterwards
};

void Nothing(const std::string&, const std::string&) {}
void OldFile(const std::string& out, const std::string&) { test::WriteFile(out, "the old file"); }

} // namespace

TEST(AtomicOutput, EachWayAReplacementEndsLeavesTheFinalNameWholeAndNoTemporary)
{
    const ReplaceCase cases[] = {
        {"a new file", "out.bin", Nothing, true, true, true, "out.bin", "new bytes", {"out.bin"}},
        {"an old file replaced", "out.bin", OldFile, true, true, true, "out.bin", "new bytes", {"out.bin"}},
        {"given up before the commit: the old file stays", "out.bin", OldFile, true, false, false, "out.bin",
         "the old file", {"out.bin"}},
        {"given up with nothing there: nothing is left", "out.bin", Nothing, true, false, false, "out.bin", nullptr,
         {}},
        {"a killed run's temporary file goes", "out.bin",
         [](const std::string& out, const std::string& temp) {
             OldFile(out, temp);
             test::WriteFile(temp, "half of an earlier run");
         },
         true, true, true, "out.bin", "new bytes", {"out.bin"}},
        {"a folder under the final name fails the rename and stays whole", "out.bin",
         [](const std::string& out, const std::string&) { test::WriteFile(out + "/inside", "kept"); }, true, true,
         false, "out.bin/inside", "kept", {"out.bin"}},
        {"a folder under the temporary name is not removed: nothing opens", "out.bin",
         [](const std::string& out, const std::string& temp) {
             OldFile(out, temp);
             test::WriteFile(temp + "/inside", "someone's");
         },
         false, true, false, "out.bin", "the old file", {"out.bin", kTemp}},
        {"a missing folder: nothing opens, nothing is made", "missing/out.bin", Nothing, false, true, false,
         "missing/out.bin", nullptr, {}},
#ifndef _WIN32
        {"a link under the temporary name is never written through", "out.bin",
         [](const std::string& out, const std::string& temp) {
             test::WriteFile(fs::path(out).parent_path().string() + "/victim", "untouched");
             fs::create_symlink("victim", temp);
         },
         true, true, true, "victim", "untouched", {"out.bin", "victim"}},
#endif
    };
    for (const ReplaceCase& c : cases) {
        test::TempDir dir;
        const std::string out = dir / c.name, temp = ReplaceTempName(out, NativePathStyle());
        const std::string tempName = fs::path(temp).filename().string();
        c.before(out, temp);
        const bool stoodBefore = test::Exists(out);
        const std::string before = test::ReadFile(out);
        {
            os::AtomicOutputFile file(out);
            EXPECT_EQ(file.IsOpen(), c.opens) << c.what;
            const bool wrote = file.Write("new ", 4) && file.Write("bytes", 5);
            EXPECT_EQ(wrote, c.opens) << c.what;
            if (c.opens) {
#ifdef _WIN32
                EXPECT_TRUE(test::Exists(temp)) << c.what; // shared with no one while it is written
#else
                EXPECT_EQ(test::ReadFile(temp), "new bytes") << c.what;
#endif
                EXPECT_TRUE(test::Exists(out) == stoodBefore && test::ReadFile(out) == before)
                    << c.what << ": the final name changed before the commit";
            }
            if (c.commit) {
                EXPECT_EQ(file.Commit(), c.committed) << c.what;
                EXPECT_FALSE(file.IsOpen()) << c.what << ": open after the commit";
                EXPECT_FALSE(file.Write("x", 1)) << c.what << ": a write after the commit";
                EXPECT_FALSE(file.Commit()) << c.what << ": a second commit";
            }
        }
        if (c.bytes) {
            EXPECT_EQ(test::ReadFile(dir / c.checked), c.bytes) << c.what;
        } else {
            EXPECT_FALSE(test::Exists(dir / c.checked)) << c.what;
        }
        EXPECT_EQ(Listing(dir.Path(), tempName), c.left) << c.what;
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

TEST(AtomicOutput, AnEmptyNameOpensNothing)
{
    os::AtomicOutputFile file("");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_FALSE(file.Commit());
}

#ifndef _WIN32
TEST(AtomicOutput, TheNewFileHasTheModeTheUserMaskLeaves)
{
    for (const mode_t mask : {022, 077, 002, 0}) {
        test::TempDir dir;
        const std::string out = dir / "out.bin";
        const mode_t saved = ::umask(mask);
        bool committed = false;
        {
            os::AtomicOutputFile file(out);
            committed = file.Write("x", 1) && file.Commit();
        }
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

namespace {

struct StreamCase {
    const char* what;
    std::function<std::string(const test::TempDir& dir)> target; // the path, after making what it needs
    bool opens, writes, closes;
    const char* kept = nullptr; // the bytes the target keeps, where it is a file
};

} // namespace

TEST(StreamOutput, OnlyAStreamIsWrittenInPlaceAndAFailureIsToldAtTheClose)
{
    const StreamCase cases[] = {
        {"a regular file", [](const test::TempDir& d) { return test::WriteFile(d / "plain", "untouched"); }, false,
         false, false, "untouched"},
        {"a missing name", [](const test::TempDir& d) { return d / "missing"; }, false, false, false},
        {"a folder", [](const test::TempDir& d) { return d.Path(); }, false, false, false},
        {"an empty name", [](const test::TempDir&) { return std::string(); }, false, false, false},
#ifdef _WIN32
        {"the null device", [](const test::TempDir&) { return std::string("NUL"); }, true, true, true},
#else
        {"the null device", [](const test::TempDir&) { return std::string("/dev/null"); }, true, true, true},
        {"a device that is always full", [](const test::TempDir&) { return std::string("/dev/full"); }, true, false,
         false},
#endif
    };
    for (const StreamCase& c : cases) {
        test::TempDir dir;
        const std::string path = c.target(dir);
        const auto before = Listing(dir.Path(), "");
        {
            os::StreamOutput out(path);
            EXPECT_EQ(out.IsOpen(), c.opens) << c.what;
            EXPECT_EQ(out.Write("bytes", 5), c.writes) << c.what;
            EXPECT_EQ(out.Write("more", 4), c.writes) << c.what << ": a write after a failed one";
            EXPECT_EQ(out.Close(), c.closes) << c.what;
            EXPECT_FALSE(out.IsOpen()) << c.what;
            EXPECT_FALSE(out.Write("x", 1)) << c.what << ": a write after the close";
            EXPECT_FALSE(out.Close()) << c.what << ": a second close";
        }
        EXPECT_EQ(Listing(dir.Path(), ""), before) << c.what;
        if (c.kept) {
            EXPECT_EQ(test::ReadFile(path), c.kept) << c.what;
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

namespace {
void Interrupted(int) {}
} // namespace

TEST(StreamOutput, WritesCutShortBySignalsStillDeliverEveryByteInOrder)
{
    test::TempDir dir;
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string data(4 << 20, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + i / 4096);

    // Our end is open first, so that the output's open does not wait, and
    // a reader that finds no writer ends at once instead of hanging.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    os::StreamOutput out(fifo);
    ::fcntl(reader, F_SETFL, ::fcntl(reader, F_GETFL) & ~O_NONBLOCK);

    // Only this thread takes the signals; the reader drains the pipe slowly,
    // so that the write waits on a full pipe again and again.
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    ::pthread_sigmask(SIG_BLOCK, &alarm, nullptr);
    std::string got;
    std::thread drain([&] {
        char buffer[16384];
        for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;) {
            got.append(buffer, static_cast<std::size_t>(n));
            ::usleep(50);
        }
    });
    ::pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr);

    struct sigaction action {}, saved {};
    action.sa_handler = Interrupted; // no SA_RESTART: the write returns early
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
        os::StreamOutput out;
        ASSERT_TRUE(out.IsOpen());
        EXPECT_TRUE(out.Write("", 0));
        EXPECT_TRUE(out.Close());
        EXPECT_FALSE(out.Close()) << "a second close";
    }
    {
        os::StreamOutput untouched; // goes without a close
        EXPECT_TRUE(untouched.IsOpen());
    }
#ifdef _WIN32
    EXPECT_NE(::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE)), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
#else
    EXPECT_NE(::fcntl(STDOUT_FILENO, F_GETFD), -1);
#endif
}
