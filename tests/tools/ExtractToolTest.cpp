// The real `extract` program, run as the job and the reader run it, on
// volumes built by our own writer.
#include "platform/os/Process.h"
#include "volume/VolumeWriter.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

using namespace tarnwick;
using tarnwick::test::ReadFile;
using tarnwick::test::RunInChild;
using tarnwick::test::TempDir;
using tarnwick::test::ToolPath;
using tarnwick::test::WriteFile;
namespace fs = std::filesystem;

namespace {

// The exit codes the program documents in its --help.
enum {
    kUsage = 2,
    kVolumeUnreadable = 3,
    kNotAVolume = 4,
    kDamaged = 5,
    kNameMissing = 6,
    kUnsupportedMethod = 7,
    kOutputNotWritable = 8,
};

struct Result {
    int code;
    std::string err;
};

std::uint32_t Get32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

// Offset of index entry i in a volume laid out by the writer.
std::size_t EntryAt(const std::string& v, std::size_t i)
{
    const std::size_t d = Get32(v, 4);
    return d + 17 + Get32(v, d + 4) + 17 * i;
}

class ExtractTool : public ::testing::Test {
protected:
    TempDir dir;
    const std::string tool = ToolPath("extract");

    // Runs the program with exactly these arguments (after its own path),
    // its standard error caught in a file.
    Result Run(const std::vector<std::string>& args, std::int64_t fileSizeLimit = -1)
    {
        std::vector<std::string> all{tool};
        all.insert(all.end(), args.begin(), args.end());
        return RunAs(tool, all, fileSizeLimit);
    }

    // Runs `exe` with the whole argument vector given, its own first one too.
    Result RunAs(const std::string& exe, const std::vector<std::string>& all, std::int64_t fileSizeLimit = -1)
    {
        const std::string errPath = dir / "stderr.txt";
        test::ChildLimits limits;
        limits.fileSizeLimit = fileSizeLimit;
        const int code = RunInChild(
            [&]() -> int {
                if (!std::freopen(errPath.c_str(), "w", stderr))
                    return 120;
                std::vector<char*> argv;
                for (auto& a : all)
                    argv.push_back(const_cast<char*>(a.c_str()));
                argv.push_back(nullptr);
                ::execv(exe.c_str(), argv.data());
                return 121;
            },
            limits);
        Result r{code, ReadFile(errPath)};
        fs::remove(errPath);
        return r;
    }

    std::string Build(VolumeWriter& w, const std::string& name = "game.vol")
    {
        const std::string path = dir / name;
        EXPECT_TRUE(w.Write(path));
        return path;
    }

    // Everything in the folder except the volumes and what the test named.
    std::vector<std::string> Strays(const std::vector<std::string>& expected = {})
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.Path())) {
            const std::string n = e.path().filename().string();
            if (e.path().extension() == ".vol" || std::find(expected.begin(), expected.end(), n) != expected.end())
                continue;
            out.push_back(n);
        }
        return out;
    }
};

// One line, naming the program, ending with a newline.
void ExpectOneLine(const Result& r)
{
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.rfind("extract: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
}

std::string Pattern(std::size_t n)
{
    std::string s(n, '\0');
    std::uint32_t x = 2463534242u;
    for (auto& c : s) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return s;
}

} // namespace

TEST_F(ExtractTool, CopiesEachStoredFileByteForByte)
{
    VolumeWriter w;
    const std::string big = Pattern(3 * (1 << 20) + 12345); // several copy blocks, a ragged end
    w.Add("scripts\\ai\\bot.cs", "function bot() {}\n");
    w.Add("Skins\\LArmor.bmp", big);
    w.Add("nul\\bytes.bin", std::string("\0\x01\0\xff\0", 5));
    w.Add("empty.txt", "");
    const std::string vol = Build(w);

    EXPECT_EQ(Run({vol, "scripts\\ai\\bot.cs", dir / "bot.cs"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "bot.cs"), "function bot() {}\n");
    // Case does not matter in the name.
    EXPECT_EQ(Run({vol, "SKINS\\larmor.BMP", dir / "armor.bmp"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "armor.bmp"), big);
    EXPECT_EQ(Run({vol, "nul\\bytes.bin", dir / "bytes.bin"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "bytes.bin"), std::string("\0\x01\0\xff\0", 5));
    // An empty stored file still becomes a file.
    EXPECT_EQ(Run({vol, "empty.txt", dir / "empty.txt"}).code, 0);
    EXPECT_TRUE(fs::is_regular_file(dir / "empty.txt"));
    EXPECT_EQ(fs::file_size(dir / "empty.txt"), 0u);
    EXPECT_TRUE(Strays({"bot.cs", "armor.bmp", "bytes.bin", "empty.txt"}).empty());
}

TEST_F(ExtractTool, NameSplitAtBlanksIsJoinedBack)
{
    VolumeWriter w;
    w.Add("my missions\\big  map.mis", "two blanks");
    w.Add("my missions\\big map.mis", "one blank");
    const std::string vol = Build(w);
    // The bare name arrives cut at its blanks; single blanks join the pieces.
    ASSERT_EQ(Run({vol, "my", "missions\\big", "map.mis", dir / "out.mis"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "out.mis"), "one blank");
}

TEST_F(ExtractTool, ReplacesAnExistingOutput)
{
    VolumeWriter w;
    w.Add("a.cs", "new contents");
    const std::string vol = Build(w);
    WriteFile(dir / "a.cs", std::string(5000, 'o'));
    ASSERT_EQ(Run({vol, "a.cs", dir / "a.cs"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "a.cs"), "new contents");
}

TEST_F(ExtractTool, LowerCaseTagsAndDataWithoutBlockHeader)
{
    VolumeWriter w;
    w.Add("first.cs", "one");
    w.Add("second.cs", "two");
    std::string v = w.Build();
    // Point the second entry straight at its bytes, and lower-case every tag.
    const std::size_t e = EntryAt(v, 1);
    const std::uint32_t at = Get32(v, e + 8) + 8;
    for (int i = 0; i < 4; ++i)
        v[e + 8 + i] = static_cast<char>((at >> (8 * i)) & 0xFF);
    v.replace(0, 4, "pvol");
    WriteFile(dir / "lenient.vol", v);
    ASSERT_EQ(Run({dir / "lenient.vol", "second.cs", dir / "2.cs"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "2.cs"), "two");
    ASSERT_EQ(Run({dir / "lenient.vol", "first.cs", dir / "1.cs"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "1.cs"), "one");
}

TEST_F(ExtractTool, BothCommandLineForms)
{
    VolumeWriter w;
    w.Add("base\\my file.cs", "through the launcher");
    const std::string vol = Build(w);

    // The job's form: program quoted, name bare.
    const std::string job = "\"" + tool + "\" \"" + vol + "\" base\\my file.cs \"" + (dir / "job.cs") + "\"";
    ASSERT_EQ(os::WaitForProcess(os::StartProcessHidden(job)), 0);
    EXPECT_EQ(ReadFile(dir / "job.cs"), "through the launcher");

    // The reader's form: program bare. Installed in a folder with a blank,
    // its path reaches it cut into pieces that it must recognise as its own.
    fs::create_directory(dir / "my tools");
    const std::string copy = dir / "my tools/extract";
    fs::copy_file(tool, copy);
    fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add);
    const std::string reader = copy + " \"" + vol + "\" base\\my file.cs \"" + (dir / "reader.cs") + "\"";
    ASSERT_EQ(os::WaitForProcess(os::StartProcessHidden(reader)), 0);
    EXPECT_EQ(ReadFile(dir / "reader.cs"), "through the launcher");

    // The same pieces given straight to the program.
    ASSERT_EQ(RunAs(copy, {dir / "my", "tools/extract", vol, "base\\my", "file.cs", dir / "pieces.cs"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "pieces.cs"), "through the launcher");
}

TEST_F(ExtractTool, HelpAndUsage)
{
    const Result help = Run({"--help"});
    EXPECT_EQ(help.code, 0);
    const Result few = Run({dir / "game.vol", "name"});
    EXPECT_EQ(few.code, kUsage);
    ExpectOneLine(few);
    const Result none = Run({});
    EXPECT_EQ(none.code, kUsage);
    EXPECT_EQ(Run({"", "a", dir / "out"}).code, kUsage);
}

TEST_F(ExtractTool, VolumeMissingOrUnreadable)
{
    const Result missing = Run({dir / "missing.vol", "a.cs", dir / "a.cs"});
    EXPECT_EQ(missing.code, kVolumeUnreadable);
    ExpectOneLine(missing);
    EXPECT_NE(missing.err.find("missing.vol"), std::string::npos);
    fs::create_directory(dir / "folder.vol");
    EXPECT_EQ(Run({dir / "folder.vol", "a.cs", dir / "a.cs"}).code, kVolumeUnreadable);
    EXPECT_TRUE(Strays({"folder.vol"}).empty());
}

TEST_F(ExtractTool, NotAVolume)
{
    WriteFile(dir / "notes.vol", "these are notes, not a volume");
    const Result r = Run({dir / "notes.vol", "a.cs", dir / "a.cs"});
    EXPECT_EQ(r.code, kNotAVolume);
    ExpectOneLine(r);
    WriteFile(dir / "tiny.vol", "PV");
    EXPECT_EQ(Run({dir / "tiny.vol", "a.cs", dir / "a.cs"}).code, kNotAVolume);
    EXPECT_TRUE(Strays().empty());
}

TEST_F(ExtractTool, DamagedDirectory)
{
    VolumeWriter w;
    w.Add("a.cs", "aaa");
    w.Add("b.cs", "bbb");
    const std::string good = w.Build();

    std::string sPastEnd = good;
    const std::size_t d = Get32(good, 4);
    sPastEnd[d + 4] = '\xff';
    sPastEnd[d + 7] = '\x7f';
    WriteFile(dir / "s.vol", sPastEnd);
    const Result r = Run({dir / "s.vol", "a.cs", dir / "a.cs"});
    EXPECT_EQ(r.code, kDamaged);
    ExpectOneLine(r);

    // Damaged data of the very file asked for; another file still comes out.
    std::string longData = good;
    longData[EntryAt(good, 1) + 15] = '\x10';
    WriteFile(dir / "len.vol", longData);
    EXPECT_EQ(Run({dir / "len.vol", "b.cs", dir / "b.cs"}).code, kDamaged);
    EXPECT_FALSE(fs::exists(dir / "b.cs"));
    ASSERT_EQ(Run({dir / "len.vol", "a.cs", dir / "a.cs"}).code, 0);
    EXPECT_EQ(ReadFile(dir / "a.cs"), "aaa");

    WriteFile(dir / "cut.vol", good.substr(0, good.size() - 5));
    EXPECT_EQ(Run({dir / "cut.vol", "a.cs", dir / "x.cs"}).code, kDamaged);
    EXPECT_TRUE(Strays({"a.cs"}).empty());
}

TEST_F(ExtractTool, NameNotInTheVolume)
{
    VolumeWriter w;
    w.Add("scripts\\a.cs", "a");
    const std::string vol = Build(w);
    const Result r = Run({vol, "a.cs", dir / "a.cs"});
    EXPECT_EQ(r.code, kNameMissing);
    ExpectOneLine(r);
    EXPECT_NE(r.err.find("a.cs"), std::string::npos);
    EXPECT_EQ(Run({vol, "scripts/a.cs", dir / "a.cs"}).code, kNameMissing);
    EXPECT_TRUE(Strays().empty());
}

TEST_F(ExtractTool, CompressedMethodsAreNamedAndRefused)
{
    const char* names[] = {"", "run-length", "LZ", "LZ with Huffman coding"};
    for (int method = 1; method <= 3; ++method) {
        VolumeWriter w;
        w.Add("packed.cs", "not really packed");
        std::string v = w.Build();
        v[EntryAt(v, 0) + 16] = static_cast<char>(method);
        WriteFile(dir / "packed.vol", v);
        const Result r = Run({dir / "packed.vol", "packed.cs", dir / "packed.cs"});
        EXPECT_EQ(r.code, kUnsupportedMethod) << method;
        ExpectOneLine(r);
        EXPECT_NE(r.err.find("method " + std::to_string(method)), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("not supported"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(names[method]), std::string::npos) << r.err;
        EXPECT_TRUE(Strays().empty());
    }
}

TEST_F(ExtractTool, OutputNotWritableLeavesNothing)
{
    VolumeWriter w;
    w.Add("a.cs", "aaa");
    const std::string vol = Build(w);

    // The folder is not made for it.
    const Result noFolder = Run({vol, "a.cs", dir / "no such folder/a.cs"});
    EXPECT_EQ(noFolder.code, kOutputNotWritable);
    ExpectOneLine(noFolder);
    EXPECT_FALSE(fs::exists(dir / "no such folder"));

    fs::create_directory(dir / "taken");
    WriteFile(dir / "taken/keep.txt", "kept");
    EXPECT_EQ(Run({vol, "a.cs", dir / "taken"}).code, kOutputNotWritable);
    EXPECT_EQ(ReadFile(dir / "taken/keep.txt"), "kept");
    EXPECT_TRUE(Strays({"taken"}).empty());
}

TEST_F(ExtractTool, OutputOverTheVolumeKeepsTheVolume)
{
    VolumeWriter w;
    w.Add("a.cs", "aaa");
    const std::string vol = Build(w);
    const std::string before = ReadFile(vol);
    EXPECT_EQ(Run({vol, "a.cs", vol}).code, kOutputNotWritable);
    EXPECT_EQ(ReadFile(vol), before);
}

TEST_F(ExtractTool, FullDiskLeavesNoPartialFile)
{
    VolumeWriter w;
    const std::string big = Pattern(3 << 20);
    w.Add("big.bin", big);
    const std::string vol = Build(w);
    WriteFile(dir / "big.bin", "the old file");
    // The disk "fills" after 1.5 MiB: the copy stops halfway.
    const Result r = Run({vol, "big.bin", dir / "big.bin"}, (3 << 20) / 2);
    EXPECT_EQ(r.code, kOutputNotWritable);
    ExpectOneLine(r);
    EXPECT_EQ(ReadFile(dir / "big.bin"), "the old file");
    EXPECT_TRUE(Strays({"big.bin"}).empty());
}
