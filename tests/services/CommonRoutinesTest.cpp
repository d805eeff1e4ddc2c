// Path helpers, folder creation, and the Windows command-line rules the extractor's arguments go through.
#include "services/CommonRoutines.h"
#include "os/CommandLine.h"
#include "support/FakeDisk.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tarnwick;
using V = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

constexpr PathStyle W = PathStyle::Windows, P = PathStyle::Posix;

TEST(GetParentFolder, AndFileTitleInBothStyles)
{
    const std::tuple<PathStyle, const char*, const char*, const char*> cases[] = {
        {W, "C:\\a\\b.vol", "C:\\a", "b.vol"}, {W, "C:\\b.vol", "C:\\", "b.vol"}, {W, "C:\\", "C:\\", ""},
        {W, "C:\\a\\", "C:\\a", ""},           {W, "b.vol", "b.vol", "b.vol"},    {W, "\\b.vol", "", "b.vol"},
        {W, "ab\\c", "ab", "c"}, // a backslash in third place is a root only after a colon
        {W, "C:/a/b.vol", "C:/a/b.vol", "C:/a/b.vol"}, {P, "/a/b.vol", "/a", "b.vol"}, {P, "/b.vol", "/", "b.vol"},
        {P, "/", "/", ""}, {P, "/a/", "/a", ""}, {P, "b.vol", "b.vol", "b.vol"}, {P, "x/y/z", "x/y", "z"},
        {P, "a\\b.vol", "a\\b.vol", "a\\b.vol"},
    };
    for (const auto& [style, path, parent, title] : cases) {
        EXPECT_EQ(GetParentFolder(path, style), parent) << path;
        EXPECT_EQ(GetFileTitle(path, style), title) << path;
    }
}

TEST(JoinPath, OneSeparatorBetweenFolderAndNameInBothStyles)
{
    const std::tuple<PathStyle, const char*, const char*, const char*> cases[] = {
        {W, "C:\\out", "a.cs", "C:\\out\\a.cs"}, {W, "C:\\", "a.cs", "C:\\a.cs"}, {W, "C:", "a", "C:\\a"},
        {W, "C:\\out/", "a", "C:\\out/a"}, // Windows reads a slash as a separator too
        {W, "", "a.cs", "a.cs"}, {W, "C:\\out\\\\", "a", "C:\\out\\\\a"}, {W, "x", "b\\c", "x\\b\\c"},
        {P, "/out", "a.cs", "/out/a.cs"}, {P, "/", "a.cs", "/a.cs"}, {P, "", "a.cs", "a.cs"},
        {P, "rel/dir/", "a", "rel/dir/a"}, {P, "/out\\", "a", "/out\\/a"}, // a backslash is a name's byte there
    };
    for (const auto& [style, folder, name, joined] : cases)
        EXPECT_EQ(JoinPath(folder, name, style), joined) << folder << " + " << name;
}

TEST(CreateFolderPath, CreatesEachMissingFolderAndReportsTheFirstFailure)
{
    const std::tuple<PathStyle, const char*, const char*, V> cases[] = {
        {W, "C:\\a\\b\\c", "", {"C:\\a\\b", "C:\\a\\b\\c"}},
        {W, "C:\\new\\", "", {"C:\\new"}},
        {W, "C:\\x\\\\y\\z", "", {"C:\\x", "C:\\x\\y", "C:\\x\\y\\z"}}, // an empty piece names nothing
        {W, "D:\\out\\scripts\\ai\\deep", "D:\\out\\scripts\\ai", {}},   // a file in the way
        {W, "D:\\out\\locked\\inner", "D:\\out\\locked", {}},
        // Roots, what exists, and unrooted paths: nothing to do.
        {W, "C:\\", "", {}}, {W, "C:\\a", "", {}}, {W, "\\\\server\\share\\dir", "", {}}, {W, "relative\\dir", "", {}},
        {W, "abc", "", {}},  {W, "", "", {}},      {W, "C:", "", {}},  {P, "/", "", {}},  {P, "relative/dir", "", {}},
        {P, "C:\\a\\b", "", {}},
    };
    for (const auto& [style, path, failed, created] : cases) {
        test::FakeDisk disk;
        disk.AddFolder("C:\\a");
        disk.AddFile("D:\\out\\scripts", "a file");
        disk.DenyCreate("D:\\out\\locked");
        int probes = 0;
        OsServices services;
        services.PlainExists = [&](const std::string& p) { ++probes; return disk.Exists(p); };
        services.CreateFolder = [&](const std::string& p) { return disk.CreateFolder(p); };
        EXPECT_EQ(CreateFolderPath(path, style, services), failed) << path;
        EXPECT_EQ(disk.Created(), created) << path;
        EXPECT_TRUE(!created.empty() || *failed || probes <= 1) << path << ": more than one existence test";
    }
}

TEST(CreateFolderPathPosix, OnADisk)
{
    test::TempDir dir;
    const std::string deep = dir / "one/two//three/four/";
    EXPECT_EQ(CreateFolderPath(deep, P), "");
    EXPECT_TRUE(fs::is_directory(dir / "one/two/three/four"));
    EXPECT_EQ(CreateFolderPath(deep, P), "") << "everything there already";
    test::WriteFile(dir / "blocker", "x");
    EXPECT_EQ(CreateFolderPath(dir / "blocker/inner/more", P), dir / "blocker/inner");
    EXPECT_EQ(test::ReadFile(dir / "blocker"), "x");
}

TEST(SplitWindowsCommandLine, FollowsTheWindowsRules)
{
    const std::pair<const char*, V> cases[] = {
        // The job quotes the extractor, the reader leaves it bare; stored names keep their backslashes.
        {R"("C:\x y\extract.exe" "C:\a.vol" scripts\ai\bot.cs "D:\out\bot.cs")",
         {R"(C:\x y\extract.exe)", R"(C:\a.vol)", R"(scripts\ai\bot.cs)", R"(D:\out\bot.cs)"}},
        {R"(/bin/extract "/v.vol" a b.cs "/out/a b.cs")", {"/bin/extract", "/v.vol", "a", "b.cs", "/out/a b.cs"}},
        // A quoted destination ending in one backslash swallows the quote, as on Windows.
        {R"(p "C:\out\" x)", {"p", R"(C:\out" x)"}},
        {R"(p "C:\out\\" x)", {"p", R"(C:\out\)", "x"}},
        {R"(p a\\\"b)", {"p", R"(a\"b)"}},
        {R"(p "a""b")", {"p", R"(a"b)"}},
        {"   ", {}},
        {"p  \"\"  x\t", {"p", "", "x"}},
        {R"("C:\a b\p.exe"rest)", {R"(C:\a b\p.exerest)"}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(os::SplitWindowsCommandLine(line), expected) << line;
}

} // namespace
