#include "platform/CommonRoutines.h"
#include "platform/MessageBox.h"
#include "support/FakeDisk.h"
#include "support/TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::FakeDisk;
using tarnwick::test::TempDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

FolderHooks HooksOn(FakeDisk& disk, int* existsCalls = nullptr)
{
    return {
        [&disk, existsCalls](const std::string& p) {
            if (existsCalls)
                ++*existsCalls;
            return disk.Exists(p);
        },
        [&disk](const std::string& p) { return disk.CreateFolder(p); },
    };
}

TEST(GetParentFolder, WindowsCases)
{
    EXPECT_EQ(GetParentFolder("C:\\a\\b.vol", W), "C:\\a");
    EXPECT_EQ(GetParentFolder("C:\\b.vol", W), "C:\\");
    EXPECT_EQ(GetParentFolder("C:\\", W), "C:\\");
    EXPECT_EQ(GetParentFolder("C:\\a\\", W), "C:\\a");
    EXPECT_EQ(GetParentFolder("b.vol", W), "b.vol");
    EXPECT_EQ(GetParentFolder("\\b.vol", W), "");
    // A backslash in third place is a root only after a colon.
    EXPECT_EQ(GetParentFolder("ab\\c", W), "ab");
    // Forward slashes are no separators in the Windows style.
    EXPECT_EQ(GetParentFolder("C:/a/b.vol", W), "C:/a/b.vol");
}

TEST(GetParentFolder, PosixCases)
{
    EXPECT_EQ(GetParentFolder("/a/b.vol", P), "/a");
    EXPECT_EQ(GetParentFolder("/b.vol", P), "/");
    EXPECT_EQ(GetParentFolder("/", P), "/");
    EXPECT_EQ(GetParentFolder("/a/", P), "/a");
    EXPECT_EQ(GetParentFolder("b.vol", P), "b.vol");
    EXPECT_EQ(GetParentFolder("a\\b.vol", P), "a\\b.vol");
    EXPECT_EQ(GetParentFolder("x/y/z", P), "x/y");
}

TEST(GetFileTitle, BothStyles)
{
    EXPECT_EQ(GetFileTitle("C:\\a\\b.vol", W), "b.vol");
    EXPECT_EQ(GetFileTitle("b.vol", W), "b.vol");
    EXPECT_EQ(GetFileTitle("C:\\a\\", W), "");
    EXPECT_EQ(GetFileTitle("scripts/ai/bot.cs", W), "scripts/ai/bot.cs");

    EXPECT_EQ(GetFileTitle("/a/b.vol", P), "b.vol");
    EXPECT_EQ(GetFileTitle("b.vol", P), "b.vol");
    EXPECT_EQ(GetFileTitle("/a/", P), "");
    EXPECT_EQ(GetFileTitle("scripts\\ai\\bot.cs", P), "scripts\\ai\\bot.cs");
}

TEST(GetLongFileName, EmptyMissingAndExisting)
{
    EXPECT_EQ(GetLongFileName(""), "");
    TempDir dir;
    EXPECT_EQ(GetLongFileName(dir / "no-such-file.vol"), "");
    test::WriteFile(dir / "sub/Base.vol", "x");
    const std::string canonical = std::filesystem::canonical(dir / "sub/Base.vol").string();
    EXPECT_EQ(GetLongFileName(dir / "sub/../sub/./Base.vol"), canonical);
    EXPECT_EQ(GetLongFileName(canonical), canonical);
}

TEST(CreateFolderPathWindows, CreatesEachMissingFolderInOrder)
{
    FakeDisk disk;
    disk.AddFolder("C:\\a");
    EXPECT_EQ(CreateFolderPath("C:\\a\\b\\c", W, HooksOn(disk)), "");
    EXPECT_THAT(disk.Created(), ElementsAre("C:\\a\\b", "C:\\a\\b\\c"));
    EXPECT_TRUE(disk.IsFolder("C:\\a\\b\\c"));
}

TEST(CreateFolderPathWindows, TrailingBackslashAndEmptyPieces)
{
    FakeDisk disk;
    EXPECT_EQ(CreateFolderPath("C:\\new\\", W, HooksOn(disk)), "");
    EXPECT_THAT(disk.Created(), ElementsAre("C:\\new"));

    // An empty piece names nothing and the pieces after it still come.
    FakeDisk other;
    EXPECT_EQ(CreateFolderPath("C:\\x\\\\y\\z", W, HooksOn(other)), "");
    EXPECT_THAT(other.Created(), ElementsAre("C:\\x", "C:\\x\\y", "C:\\x\\y\\z"));
}

TEST(CreateFolderPathWindows, DoesNothingForRootsExistingAndUnrootedPaths)
{
    FakeDisk disk;
    disk.AddFolder("C:\\there");
    for (const char* path : {"C:\\", "C:\\there", "\\\\server\\share\\dir", "relative\\dir", "abc", "",
                             "C:"}) {
        int calls = 0;
        EXPECT_EQ(CreateFolderPath(path, W, HooksOn(disk, &calls)), "") << path;
        EXPECT_LE(calls, 1) << path; // only the first existence test
    }
    EXPECT_THAT(disk.Created(), IsEmpty());
}

TEST(CreateFolderPathWindows, ReportsTheFirstFolderThatFailed)
{
    FakeDisk disk;
    disk.AddFile("D:\\out\\scripts", "a file in the way");
    EXPECT_EQ(CreateFolderPath("D:\\out\\scripts\\ai\\deep", W, HooksOn(disk)), "D:\\out\\scripts\\ai");
    EXPECT_THAT(disk.Created(), IsEmpty());

    FakeDisk denied;
    denied.AddFolder("D:\\out");
    denied.DenyCreate("D:\\out\\locked");
    EXPECT_EQ(CreateFolderPath("D:\\out\\locked\\inner", W, HooksOn(denied)), "D:\\out\\locked");
    EXPECT_FALSE(denied.Exists("D:\\out\\locked\\inner"));
}

TEST(CreateFolderPathPosix, RelativeAndRootDoNothing)
{
    FolderHooks hooks{[](const std::string& p) { return p == "/"; },
                      [](const std::string& p) -> bool { ADD_FAILURE() << "created " << p; return false; }};
    EXPECT_EQ(CreateFolderPath("/", P, hooks), "");
    EXPECT_EQ(CreateFolderPath("relative/dir", P, hooks), "");
    EXPECT_EQ(CreateFolderPath("C:\\a\\b", P, hooks), "");
}

TEST(CreateFolderPathPosix, DeepCreationOnDisk)
{
    TempDir dir;
    const std::string deep = dir / "one/two//three/four/";
    EXPECT_EQ(CreateFolderPath(deep, P), "");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "one/two/three/four"));
    // Running it again finds everything there.
    EXPECT_EQ(CreateFolderPath(deep, P), "");
}

TEST(CreateFolderPathPosix, FileInTheWayIsReported)
{
    TempDir dir;
    test::WriteFile(dir / "blocker", "x");
    EXPECT_EQ(CreateFolderPath(dir / "blocker/inner/more", P), dir / "blocker/inner");
    EXPECT_EQ(test::ReadFile(dir / "blocker"), "x");
}

TEST(CreateFolderPathPosix, ReadOnlyParentIsReported)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    std::filesystem::create_directory(dir / "ro");
    std::filesystem::permissions(dir / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(CreateFolderPath(dir / "ro/a/b", P), dir / "ro/a");
    EXPECT_FALSE(test::Exists(dir / "ro/a"));
}

class RecordingSink : public MessageSink {
public:
    MsgAnswer Show(const MessageRequest& r) override
    {
        events.push_back("box");
        shown.push_back(r);
        return MsgAnswer::OK;
    }
    void Beep() override { events.push_back("beep"); }
    std::vector<std::string> events;
    std::vector<MessageRequest> shown;
};

TEST(ShowError, BeepsThenShowsACriticalOkBox)
{
    RecordingSink sink;
    SetMessageSink(&sink);
    ShowError("No files are selected.");
    SetMessageSink(nullptr);
    EXPECT_THAT(sink.events, ElementsAre("beep", "box"));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "No files are selected.");
    EXPECT_EQ(sink.shown[0].buttons, MsgButtons::OK);
    EXPECT_EQ(sink.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(sink.shown[0].title, "Tarnwick");
}

} // namespace
