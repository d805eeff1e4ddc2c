// tarnvol add and delete: volumes edited in place, every other entry kept
// byte for byte where it stood, and the old volume replaced whole or not at all.
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include "os/Files.h"
#include "os/ReplaceNames.h"
#include "volume/VolumeIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace tarnwick;
using namespace tarnwick::test;
using Args = std::vector<std::string>;

namespace {

// What a volume stores, read back by the window's own parse: name, bytes
// and method of each entry, in stored order.
using Stored = std::vector<std::tuple<std::string, std::string, int>>;

Stored StoredIn(const std::string& volume)
{
    const std::string bytes = ReadFile(volume);
    VolumeIndex index;
    if (index.ParseBuffer(bytes.data(), bytes.size()) != VolumeIndex::Status::Ok)
        return {};
    Stored out;
    for (const auto& e : index.Entries())
        out.emplace_back(e.name, bytes.substr(static_cast<std::size_t>(e.dataOffset), static_cast<std::size_t>(e.length)),
                         e.method);
    return out;
}

class TarnvolEdit : public ::testing::Test {
protected:
    TarnvolEdit()
    {
        for (const auto& [name, data] : disk)
            WriteFile(src + "/" + name, data);
        // The third entry claims LZ: its bytes and method must survive the edit as they are.
        std::string bytes = BuildVolume(old);
        bytes[VolumeLayout(bytes).Entry(2) + 16] = 2;
        WriteFile(volume, bytes);
        before = ReadFile(volume);
    }

    // Nothing but the volume in its folder: no temporary file left beside it.
    void ExpectAloneInItsFolder() { EXPECT_EQ(FilesBelow(dir / "vols"), std::vector<std::string>{"game.vol"}); }

    TempDir dir;
    const std::string src = dir / "src", volume = dir / "vols/game.vol";
    const Files disk = {{"top.cs", "new top"}, {"Scripts/AI/Bot.cs", "bot"}, {"Scripts/new.cs", "new"},
                        {"extra.cs", "extra"}};
    const Files old = {{"TOP.CS", "old top"}, {"Scripts\\a.cs", std::string(70000, 'q')}, {"b.cs", "bee"},
                       {"Skins\\x.bmp", "skin"}};
    std::string before;
    const Stored kept = {{"Scripts\\a.cs", std::string(70000, 'q'), 0}, {"b.cs", "bee", 2}, {"Skins\\x.bmp", "skin", 0}};
};

Stored Joined(Stored a, const Stored& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST_F(TarnvolEdit, AddReplacesANameWhereItStandsAndAppendsTheRest)
{
    const Stored oldTop = {{"TOP.CS", "old top", 0}};
    // A name stored twice, as the game compares them: a later entry would still give the old bytes.
    const std::string twice = BuildVolume({{"top.cs", "a"}, {"x.cs", "x"}, {"Top.Cs", "b"}});
    const std::tuple<std::string, Args, Stored> cases[] = {
        // Another case names the same file: the new spelling and bytes, in the old place.
        {before, {"top.cs"}, Joined({{"top.cs", "new top", 0}}, kept)},
        {before, {"extra.cs", "Scripts/new.cs"},
         Joined(Joined(oldTop, kept), {{"extra.cs", "extra", 0}, {"Scripts\\new.cs", "new", 0}})},
        // A folder adds what lies below it in name order.
        {before, {"Scripts"}, Joined(Joined(oldTop, kept), {{"Scripts\\AI\\Bot.cs", "bot", 0}, {"Scripts\\new.cs", "new", 0}})},
        {twice, {"top.cs"}, {{"top.cs", "new top", 0}, {"x.cs", "x", 0}}},
    };
    for (const auto& [start, files, after] : cases) {
        WriteFile(volume, start);
        Args line{"add", volume, "-C", src};
        line.insert(line.end(), files.begin(), files.end());
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.err), std::make_tuple(0, std::string())) << files[0];
        EXPECT_EQ(StoredIn(volume), after) << files[0];
    }
    ExpectAloneInItsFolder();
}

TEST_F(TarnvolEdit, AddRefusesWhatPackRefusesAndLeavesTheVolumeAsItWas)
{
    WriteFile(dir / "outside.cs", "secret");
    std::string damaged = before;
    Put32(damaged, VolumeLayout(damaged).Entry(1) + 8, 0x7FFFFF00); // data past the end
    const std::string broken = WriteFile(dir / "vols/broken.vol", damaged);
    const std::tuple<std::string, Args, std::string> cases[] = {
        {volume, {"top.cs", "./top.cs"}, "twice"},
        {volume, {"../outside.cs"}, "outside"},
        {volume, {"extra.cs", "nope.cs"}, "nope.cs not found"},
        {broken, {"extra.cs"}, "damaged"},
        {dir / "vols", {"extra.cs"}, "not a plain file"},
    };
    for (const auto& [target, files, why] : cases) {
        const std::string was = ReadFile(target);
        Args line{"add", target, "-C", src};
        line.insert(line.end(), files.begin(), files.end());
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(r.exitCode, 1) << files.back();
        EXPECT_EQ(r.err.rfind("tarnvol add: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(why), std::string::npos) << files.back() << ": " << r.err;
        EXPECT_EQ(ReadFile(target), was) << files.back();
    }
    EXPECT_EQ(FilesBelow(dir / "vols"), (std::vector<std::string>{"broken.vol", "game.vol"}));
}

TEST_F(TarnvolEdit, DeleteRemovesWhatTheNamesSelectAndKeepsTheRestInOrder)
{
    const std::string list = WriteFile(dir / "names.txt", "skins\\X.BMP\n");
    const std::pair<Args, Stored> cases[] = {
        {{"scripts"}, {{"TOP.CS", "old top", 0}, {"b.cs", "bee", 2}, {"Skins\\x.bmp", "skin", 0}}},
        {{"*.bmp", "top.cs"}, {{"Scripts\\a.cs", std::string(70000, 'q'), 0}, {"b.cs", "bee", 2}}},
        {{"-T", list, "B.CS"}, {{"TOP.CS", "old top", 0}, {"Scripts\\a.cs", std::string(70000, 'q'), 0}}},
    };
    for (const auto& [names, after] : cases) {
        WriteFile(volume, before);
        Args line{"delete", volume};
        line.insert(line.end(), names.begin(), names.end());
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.err), std::make_tuple(0, std::string())) << names[0];
        EXPECT_EQ(StoredIn(volume), after) << names[0];
    }
    ExpectAloneInItsFolder();
}

TEST_F(TarnvolEdit, DeleteWritesNothingUnlessEveryNameSelects)
{
    const std::pair<Args, std::string> cases[] = {
        {{"nothere.cs"}, "tarnvol delete: nothere.cs: not in the volume\n"},
        {{"top.cs", "Scripts/nothere.cs"}, "tarnvol delete: Scripts/nothere.cs: not in the volume\n"},
        {{"*"}, "tarnvol delete: "}, // no volume holds no file
    };
    for (const auto& [names, said] : cases) {
        Args line{"d", volume};
        line.insert(line.end(), names.begin(), names.end());
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(r.exitCode, 1) << names[0];
        EXPECT_EQ(r.err.substr(0, said.size()), said) << names[0];
        EXPECT_TRUE(ReadFile(volume) == before) << names[0];
    }
    ExpectAloneInItsFolder();
}

// Entries sharing one long name would each be a copy in the edited volume:
// 300 naming one of a mebibyte are refused before any is made.
TEST_F(TarnvolEdit, AVolumeWhoseNamesWouldTakeGigabytesIsNotEdited)
{
    const std::string hostile =
        WriteFile(dir / "vols/game.vol", WithEntryCopies(BuildVolume({{std::string(1 << 20, 'n'), "x"}, {"b.cs", "b"}}), 0, 300));
    WriteFile(dir / "new.cs", "new");
    for (const Args& line : {Args{"delete", hostile, "b.cs"}, Args{"add", "-C", dir.Path(), hostile, "new.cs"}}) {
        const ToolRun r = Tarnvol(line);
        EXPECT_EQ(r.exitCode, 1) << line[0];
        EXPECT_NE(r.err.find("take more than 256 MB"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadFile(hostile).size(), BuildVolume({{std::string(1 << 20, 'n'), "x"}, {"b.cs", "b"}}).size() + 17 * 300);
    ExpectAloneInItsFolder();
}

// Pack, add and delete write one layout: the same files give the same bytes.
TEST_F(TarnvolEdit, PackAddAndDeleteGiveTheSameBytesForTheSameFiles)
{
    const std::string packed = dir / "vols/packed.vol", grown = dir / "vols/grown.vol", made = dir / "vols/made.vol";
    ASSERT_EQ(Tarnvol({"pack", "-C", src, packed, "top.cs", "Scripts", "extra.cs"}).exitCode, 0);
    ASSERT_EQ(Tarnvol({"pack", "-C", src, grown, "top.cs"}).exitCode, 0);
    ASSERT_EQ(Tarnvol({"a", "-C", src, grown, "Scripts", "extra.cs"}).exitCode, 0);
    ASSERT_EQ(Tarnvol({"add", "-C", src, made, "top.cs", "Scripts", "extra.cs"}).exitCode, 0); // made new
    EXPECT_TRUE(ReadFile(grown) == ReadFile(packed));
    EXPECT_TRUE(ReadFile(made) == ReadFile(packed));

    const std::string small = dir / "vols/small.vol";
    ASSERT_EQ(Tarnvol({"pack", "-C", src, small, "top.cs", "extra.cs"}).exitCode, 0);
    ASSERT_EQ(Tarnvol({"delete", packed, "Scripts"}).exitCode, 0);
    EXPECT_TRUE(ReadFile(packed) == ReadFile(small));
}

#ifndef _WIN32
namespace {

pid_t Start(const Args& args)
{
    std::vector<char*> argv;
    const std::string program = ToolPath("tarnvol");
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&quiet);
    return pid;
}

} // namespace

// The bytes the run `pid` has written of the new volume: the file it has
// open in the volume's folder without a name ("#N (deleted)"), or under the
// temporary name; -1 before it has one.
std::int64_t WrittenBy(pid_t pid, const std::string& folder, const std::string& temp)
{
    std::int64_t most = -1;
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
        if (target.rfind(folder + "/#", 0) == 0 || target == temp)
            if (const auto length = os::FileLength(fd.path().string()))
                most = std::max(most, *length);
    }
    return most;
}

// A run killed at any moment leaves the old volume or the new one, and the
// next run is neither blocked nor confused by what the killed one left.
TEST_F(TarnvolEdit, AKilledAddLeavesTheOldVolumeOrTheNewOneWhole)
{
    Files many;
    for (int i = 0; i < 4000; ++i)
        many.emplace_back("many\\f" + std::to_string(i) + ".cs", std::string(1000, static_cast<char>('a' + i % 26)));
    WriteVolume(volume, many);
    const std::string old = ReadFile(volume);
    std::string big(15 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 % 251);
    WriteFile(src + "/big.bin", big);
    const Args add = {"add", volume, "-C", src, "big.bin"};
    ASSERT_EQ(Tarnvol(add).exitCode, 0);
    const std::string grown = ReadFile(volume);
    ASSERT_EQ(StoredIn(volume).size(), many.size() + 1);

    const std::string temp = ReplaceTempName(volume, PathStyle::Posix);
    // When to kill: at once, once the new volume is begun, once a part of it
    // is written, once all of it is (about when it is moved into place).
    for (const std::int64_t written : {std::int64_t{-1}, std::int64_t{0}, std::int64_t{1} << 20, std::int64_t{8} << 20,
                                       static_cast<std::int64_t>(grown.size())}) {
        WriteFile(volume, old);
        const pid_t pid = Start(add);
        ASSERT_GT(pid, 0);
        int status = 0;
        bool ended = false;
        while (written >= 0 && !ended) {
            if (WrittenBy(pid, dir / "vols", temp) >= written)
                break;
            ended = ::waitpid(pid, &status, WNOHANG) == pid;
            ::usleep(50);
        }
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        const std::string after = ReadFile(volume);
        EXPECT_TRUE(after == old || after == grown) << written << ": " << after.size() << " bytes";
        // The next run finishes the work, and whatever the killed one left goes.
        const ToolRun r = Tarnvol(add);
        EXPECT_EQ(std::make_tuple(r.exitCode, r.err), std::make_tuple(0, std::string())) << written;
        EXPECT_TRUE(ReadFile(volume) == grown) << written;
        ExpectAloneInItsFolder();
    }
    // A leftover no run holds is removed, whatever it holds.
    WriteFile(temp, "half a volume");
    EXPECT_EQ(Tarnvol({"delete", volume, "big.bin"}).exitCode, 0);
    EXPECT_TRUE(ReadFile(volume) == old);
    ExpectAloneInItsFolder();
}
#endif
