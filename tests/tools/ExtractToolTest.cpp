// The real `extract` program on volumes built by our own writer; how the directory is parsed is VolumeIndexTest's.
#include "extraction/clsExtract.h"
#include "os/Process.h"
#include "support/ChildProcess.h"
#include "support/RunTool.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;
namespace fs = std::filesystem;

namespace {

// The exit codes the program documents in its --help.
enum { kVolumeUnreadable = 3, kNotAVolume, kDamaged, kNameMissing, kUnsupportedMethod, kOutputNotWritable };

// Bytes that differ at every offset, so that a block copied out of place shows.
std::string Big(std::size_t n)
{
    std::string s;
    while (s.size() < n)
        s += std::to_string(s.size()) + '\0';
    return s.substr(0, n);
}

class ExtractTool : public ::testing::Test {
protected:
    ToolRun Run(const std::vector<std::string>& args) { return RunTool(tool, args); }
    // Nothing but the volumes and `kept` beside them.
    void ExpectOnly(const std::vector<std::string>& kept)
    {
        for (const auto& e : fs::directory_iterator(dir.Path())) {
            const std::string n = e.path().filename().string();
            EXPECT_TRUE(e.path().extension() == ".vol" || std::find(kept.begin(), kept.end(), n) != kept.end()) << n;
        }
    }
    std::string Volume(const Files& files) { return WriteVolume(dir / "game.vol", files); }

    TempDir dir;
    const std::string tool = ToolPath("extract");
};

} // namespace

TEST_F(ExtractTool, CopiesEachStoredFileByteForByte)
{
    const Files files = {
        {"scripts\\ai\\bot.cs", "function bot() {}\n"},
        {"Skins\\LArmor.bmp", Big(3 * (1 << 20) + 12345)}, // several copy blocks, a ragged end
        {"SKINS\\LARMOR.BMP", "a twin: the first of them counts"},
        {"nul\\bytes.bin", std::string("\0\x01\0\xff\0", 5)},
        {"empty.txt", ""},
    };
    const std::string vol = Volume(files);
    WriteFile(dir / "3", std::string(5000, 'o')); // replaced whole
    for (const std::size_t i : {0u, 1u, 3u, 4u}) {
        const std::string name = i == 1 ? "skins\\larmor.Bmp" : files[i].first; // case does not matter
        EXPECT_EQ(Run({vol, name, dir / std::to_string(i)}).exitCode, 0) << name;
        EXPECT_EQ(ReadFile(dir / std::to_string(i)), files[i].second) << name;
    }
    EXPECT_TRUE(fs::is_regular_file(dir / "4"));
    ExpectOnly({"0", "1", "3", "4"});
}

// A name pasted as a listing shows it, with / between folders, finds the
// stored name with \; a stored name that holds / itself is taken first
// (how tarnvol's names select is NameSelectionTest's).
TEST_F(ExtractTool, ANameWithSlashesFindsTheStoredBackslashes)
{
    const std::string vol = Volume({{"gui\\abort.gui", "abort"}, {"odd\\name.cs", "backslash"}, {"odd/name.cs", "slash"}});
    const std::pair<std::vector<std::string>, std::string> cases[] = { // the program's line, what it writes
        {{tool, vol, "gui/abort.gui", "-"}, "abort"},
        {{tool, vol, "GUI/Abort.GUI", "-"}, "abort"},
        {{tool, vol, "gui\\abort.gui", "-"}, "abort"},
        {{tool, vol, "odd/name.cs", "-"}, "slash"},
        {{tool, vol, "odd\\name.cs", "-"}, "backslash"},
    };
    for (const auto& [line, out] : cases) {
        const ToolRun r = RunTool(line[0], std::vector<std::string>(line.begin() + 1, line.end()));
        EXPECT_EQ(std::make_tuple(r.exitCode, r.out, r.err), std::make_tuple(0, out, std::string())) << line[2] << " " << line[3];
    }
    const ToolRun r = Run({vol, "gui/nothere.gui", "-"});
    EXPECT_EQ(std::make_tuple(r.exitCode, r.out), std::make_tuple(int(kNameMissing), std::string()));
    EXPECT_NE(r.err.find("gui/nothere.gui is not in"), std::string::npos) << r.err;
}

// The reader's bare program path reaches it in pieces that it must recognise.
TEST_F(ExtractTool, TheBareFormFromAFolderWithABlank)
{
    const std::string vol = Volume({{"base\\my file.cs", "through the launcher"}});
    fs::create_directory(dir / "my tools");
    fs::copy_file(tool, dir / "my tools/extract");
    const std::string reader = dir / "my tools/extract \"" + vol + "\" base\\my file.cs \"" + (dir / "reader.cs") + "\"";
    ASSERT_EQ(os::WaitForProcess(os::StartProcessHidden(reader)), 0);
    EXPECT_EQ(ReadFile(dir / "reader.cs"), "through the launcher");
}

TEST_F(ExtractTool, EachFailureHasItsOwnExitCodeAndLeavesNothing)
{
    const std::string vol = Volume({{"scripts\\a.cs", "aaa"}, {"b.cs", "bbb"}}), good = ReadFile(vol);
    // The writer ends a volume with its index: the last entry's length, then its method.
    std::string longData = good, lz = good;
    longData[good.size() - 2] = '\x10';
    lz[good.size() - 1] = 3;
    fs::create_directory(dir / "folder.vol");
    WriteFile(dir / "taken/keep.txt", "kept");
    const struct {
        std::string volume, name, output;
        int code;
        std::string told; // somewhere in the message
    } cases[] = {
        {dir / "missing.vol", "a", dir / "a", kVolumeUnreadable, "missing.vol"},
        {dir / "folder.vol", "a", dir / "a", kVolumeUnreadable, ""},
        {WriteFile(dir / "notes.vol", "these are notes, not a volume"), "a", dir / "a", kNotAVolume, ""},
        {WriteFile(dir / "tiny.vol", "PV"), "a", dir / "a", kNotAVolume, ""},
        {WriteFile(dir / "cut.vol", good.substr(0, good.size() - 5)), "b.cs", dir / "b.cs", kDamaged, ""},
        {WriteFile(dir / "len.vol", longData), "b.cs", dir / "b.cs", kDamaged, ""},
        {vol, "a.cs", dir / "a.cs", kNameMissing, "a.cs"},
        {vol, "scripts/b.cs", dir / "b.cs", kNameMissing, "scripts/b.cs"}, // nor with backslashes
        {vol, "b.cs", dir / "no such folder/b.cs", kOutputNotWritable, ""}, // its folder is not made
        {vol, "b.cs", dir / "taken", kOutputNotWritable, ""},
        {vol, "b.cs", vol, kOutputNotWritable, ""},
        {WriteFile(dir / "lz.vol", lz), "b.cs", dir / "b.cs", kUnsupportedMethod,
         "method 3 (LZ with Huffman coding), which is not supported"},
    };
    for (const auto& c : cases) {
        const ToolRun r = Run({c.volume, c.name, c.output});
        EXPECT_EQ(r.exitCode, c.code) << c.volume << " " << c.output << ": " << r.err;
        // One line, and the reason in it.
        EXPECT_EQ(r.err.rfind("extract: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
    }
    ExpectOnly({"taken"});
    EXPECT_EQ(ReadFile(dir / "taken/keep.txt"), "kept");
    EXPECT_EQ(ReadFile(vol), good);
    // Only the data of the file asked for is checked: another still comes out.
    ASSERT_EQ(Run({dir / "len.vol", "scripts\\a.cs", dir / "a.cs"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "a.cs"), "aaa");
}

TEST_F(ExtractTool, FullDiskLeavesNoPartialFile)
{
    const std::string vol = Volume({{"big.bin", Big(3 << 20)}});
    WriteFile(dir / "big.bin", "the old file");
    EXPECT_EQ(RunInChild([&] { return Run({vol, "big.bin", dir / "big.bin"}).exitCode; }, {(3 << 20) / 2, false}),
              kOutputNotWritable);
    EXPECT_EQ(ReadFile(dir / "big.bin"), "the old file");
    ExpectOnly({"big.bin"});
}

TEST_F(ExtractTool, HugeIndexCostsNoMemory)
{
    // A real entry, then 256 MiB of all-zero entries in a hole: walked, never held.
    std::string v = ReadFile(Volume({{"a.cs", "aaa"}}));
    const std::size_t voli = VolumeLayout(v).voli;
    const std::uint32_t entries = 16'000'000;
    v.replace(voli + 4, 4, Le32(entries * 17));
    v.resize(voli + 8 + 17); // the data comes before the directory
    const std::string vol = WriteFile(dir / "huge.vol", v);
    fs::resize_file(vol, voli + 8 + std::uintmax_t{entries} * 17);
    for (const auto& [name, code, data] : {std::tuple{"b.cs", int(kNameMissing), ""}, {"A.CS", 0, "aaa"}}) {
        const ToolRun r = Run({vol, name, dir / "a.cs"});
        EXPECT_EQ(r.exitCode, code) << name << ": " << r.err;
        EXPECT_EQ(ReadFile(dir / "a.cs"), data) << name;
        EXPECT_LT(r.peakMemoryKb, 64 * 1024) << name;
    }
}

namespace {

// The names a job can hand over: twins in case, bytes above 0x7F, and those
// the bare form cannot carry (how twins are told apart is VolumeIndexTest's).
// Each reaches the extractor through the job's own command line below.
const Files kNameVolume = {
    {"b.CS", "first b"},           {"B.cs", "second B"},         {"\xC9T\xC9.cs", "capitals"},
    {"my  file.cs", "two blanks"}, {"my file.cs", "one blank"},  {"\tlead.cs", "tab"},
    {" lead.cs", "leading blank"}, {"trail.cs ", "trailing blank"}, {"say \"hi\".cs", "quotes"},
};

} // namespace

// A large volume's names are kept in order in the user's cache after the
// first run. Written again at the same path, size and time, with an early
// name changed into a twin of a later one, that order is stale: the early
// copy is now the one the scan picks, and every file still comes out with its
// own bytes. The job's command line starts it, from a folder with a quote.
TEST_F(ExtractTool, AKeptOrderOfNamesNeverGivesAnotherFile)
{
    ScopedEnv env;
    env.Set("XDG_CACHE_HOME", dir / "cache");
    Files files = kNameVolume;
    const std::size_t early = files.size() + 1;
    for (int i = 0; i < 20000; ++i)
        files.push_back({"scripts\\f" + std::to_string(i) + ".cs", "data " + std::to_string(i % 1000 + 1000)});
    files.push_back({"scripts\\tw.cs", "first twin"});
    files.push_back({"scripts\\tw.cs", "other twin"});
    fs::create_directory(dir / "say \"hi\"");
    const std::string vol = dir / "say \"hi\"/game.vol";
    std::vector<std::size_t> asked = {early, kNameVolume.size() + 7777, files.size() - 2};
    for (std::size_t i = 0; i < kNameVolume.size(); ++i)
        asked.push_back(i);

    WriteVolume(vol, files);
    const auto when = fs::last_write_time(vol);
    for (int run = 0; run < 2; ++run) {
        for (std::size_t i : asked) {
            const std::string out = dir / ("run" + std::to_string(run) + "-" + std::to_string(i));
            const std::string line = clsExtract::CommandLine(tool, vol, files[i].first, out);
            EXPECT_EQ(os::WaitForProcess(os::StartProcessHidden(line)), 0) << run << ": " << files[i].first;
            EXPECT_EQ(ReadFile(out), files[i].second) << run << ": " << files[i].first;
        }
        if (run == 1)
            break;
        ASSERT_EQ(std::distance(fs::directory_iterator(dir / "cache/tarnwick/names"), fs::directory_iterator()), 1);
        ASSERT_EQ(files[early].first, "scripts\\f1.cs");
        files[early] = {"scripts\\tw.cs", "new twin!"};
        WriteVolume(vol, files);
        fs::last_write_time(vol, when);
        asked.erase(asked.begin() + 2); // the first twin is no longer the one the name gives
    }
}

TEST_F(ExtractTool, StreamOutputsAreWrittenInPlace)
{
    const std::string data = Big(20000); // fits a pipe's buffer: no reader thread needed
    const std::string vol = Volume({{"a.cs", data}});
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("pipe", dir / "link");
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const ToolRun r = Run({vol, "a.cs", dir / "link"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string got(data.size() + 1, '\0');
    const ssize_t n = ::read(reader, got.data(), got.size());
    ::close(reader);
    EXPECT_TRUE(n == static_cast<ssize_t>(data.size()) && got.compare(0, data.size(), data) == 0) << n << " bytes arrived";
    EXPECT_TRUE(fs::is_symlink(dir / "link") && fs::is_fifo(fifo));

    // "-" is standard output; no file of that name appears.
    const ToolRun out = RunTool(tool, {vol, "a.cs", "-"}, dir.Path());
    EXPECT_EQ(out.exitCode, 0) << out.err;
    EXPECT_TRUE(out.out == data) << out.out.size() << " bytes arrived";
    ExpectOnly({"pipe", "link"});
}
