#include "volume/clsVOLReader.h"
#include "volume/VolumeWriter.h"
#include "support/TestFiles.h"
#ifndef _WIN32
#include "support/ChildProcess.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace tarnwick;
using tarnwick::test::TempDir;
using tarnwick::test::WriteFile;

namespace {

using tarnwick::test::Le32;

// A volume laid out by hand, for the cases the writer cannot produce: the
// name block as given, garbage tags, an arbitrary pad byte and VOLI value.
std::string HandMade(const std::string& block, std::uint32_t voli = 0x01020304, std::string sig = "PVOL",
                     std::size_t dataBytes = 92)
{
    std::string out = sig + Le32(static_cast<std::uint32_t>(8 + dataBytes)) + std::string(dataBytes, 'x');
    out += "XXXX" + Le32(static_cast<std::uint32_t>(block.size())) + block;
    out += '\x7F';
    out += "YYYY" + Le32(voli);
    return out;
}

struct Reported {
    std::int16_t number;
    std::string message;
};

class VOLReader : public ::testing::Test {
protected:
    explicit VOLReader(PathStyle style = PathStyle::Posix, clsVOLReader::Hooks hooks = {})
        : reader(style, std::move(hooks))
    {
        reader.Error = [this](std::int16_t n, const std::string& m) { errors.push_back({n, m}); };
    }

    std::string Volume(const std::string& name, const std::vector<std::string>& names)
    {
        VolumeWriter w;
        for (const auto& n : names)
            w.Add(n, "data of " + n);
        std::string path = dir / name;
        EXPECT_TRUE(w.Write(path));
        return path;
    }
    std::string Raw(const std::string& name, const std::string& bytes)
    {
        std::string path = dir / name;
        WriteFile(path, bytes);
        return path;
    }
    std::vector<std::string> Table() const
    {
        std::vector<std::string> t;
        for (std::size_t i = 0; i < reader.TableSize(); ++i)
            t.emplace_back(reader.TableName(i));
        return t;
    }

    TempDir dir;
    clsVOLReader reader;
    std::vector<Reported> errors;
};

using V = std::vector<std::string>;

TEST_F(VOLReader, ListsNamesInStoredOrderWithTheirDirectoryValues)
{
    std::string path = Volume("two.vol", {"a.cs", "b.cs"});
    EXPECT_EQ(reader.GetFileNames(path), "a.cs/b.cs/");
    EXPECT_EQ(Table(), (V{"a.cs", "b.cs"}));
    EXPECT_EQ(reader.FileCount(), 2);
    // The writer puts two data blocks of 8 + 12 bytes after the header.
    EXPECT_EQ(reader.PVOL(), 8 + 2 * (8 + 12));
    EXPECT_EQ(reader.VOLS(), 10);
    EXPECT_EQ(reader.VOLI(), 2 * 17);
    EXPECT_TRUE(errors.empty());

    // Names come back as stored: case, backslashes and order untouched.
    path = Volume("mixed.vol", {"Scripts\\AI\\Bot.CS", "z.cs", " a.cs"});
    EXPECT_EQ(reader.GetFileNames(path), "Scripts\\AI\\Bot.CS/z.cs/ a.cs/");
    EXPECT_EQ(Table(), (V{"Scripts\\AI\\Bot.CS", "z.cs", " a.cs"}));
}

TEST_F(VOLReader, EmptyNamesAndSlashesSplitAsTheTextDoes)
{
    EXPECT_EQ(reader.GetFileNames(Volume("gap.vol", {"a.cs", "", "b.cs"})), "a.cs//b.cs/");
    EXPECT_EQ(Table(), (V{"a.cs", "", "b.cs"}));
    EXPECT_EQ(reader.FileCount(), 3);

    EXPECT_EQ(reader.GetFileNames(Volume("slash.vol", {"a/b.cs"})), "a/b.cs/");
    EXPECT_EQ(Table(), (V{"a", "b.cs"}));
    EXPECT_EQ(reader.FileCount(), 2);

    // A block of one NUL: the text is "/", the table is empty.
    EXPECT_EQ(reader.GetFileNames(Volume("one-nul.vol", {""})), "/");
    EXPECT_EQ(reader.FileCount(), 0);
    EXPECT_EQ(reader.TableSize(), 0u);
    EXPECT_EQ(reader.VOLS(), 1);
}

TEST_F(VOLReader, LongBlocksSplitLikeShortOnes)
{
    // Thousands of bytes, so that every stretch of the block is walked the
    // way a big volume's is: names of every length, empty ones, and "/"
    // bytes that split a stored name, at every position.
    std::vector<std::string> stored;
    std::string expectedText;
    V expectedTable;
    for (int i = 0; i < 700; ++i) {
        std::string name(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26));
        if (i % 11 == 3 && !name.empty())
            name[name.size() / 2] = '/';
        stored.push_back(name);
        expectedText += name + "/";
        std::size_t from = 0;
        for (std::size_t slash; (slash = name.find('/', from)) != std::string::npos; from = slash + 1)
            expectedTable.push_back(name.substr(from, slash - from));
        expectedTable.push_back(name.substr(from));
    }
    ASSERT_GT(expectedText.size(), 10000u);
    EXPECT_EQ(reader.GetFileNames(Volume("long.vol", stored)), expectedText);
    EXPECT_EQ(Table(), expectedTable);
    EXPECT_EQ(reader.FileCount(), static_cast<std::int32_t>(expectedTable.size()));
    EXPECT_EQ(reader.VOLS(), static_cast<std::int32_t>(expectedText.size()));

    // The same without the closing NUL: the last name loses a character.
    std::string block;
    for (const std::string& name : stored)
        block += name + std::string(1, '\0');
    block.pop_back();
    ASSERT_FALSE(stored.back().empty());
    expectedText.pop_back();
    expectedTable.back().pop_back();
    EXPECT_EQ(reader.GetFileNames(Raw("open-long.vol", HandMade(block))), expectedText);
    EXPECT_EQ(Table(), expectedTable);
}

TEST_F(VOLReader, BlockWithoutClosingNulLosesTheLastCharacterInTheTable)
{
    std::string path = Raw("open.vol", HandMade(std::string("a.cs\0b.cs", 9)));
    EXPECT_EQ(reader.GetFileNames(path), "a.cs/b.cs");
    EXPECT_EQ(Table(), (V{"a.cs", "b.c"}));
    EXPECT_EQ(reader.FileCount(), 2);
}

TEST_F(VOLReader, ReadsEachFieldAtItsOwnOffsetOnly)
{
    // D = 100, S = 10: names at 108..117, byte 118 skipped, tag at 119..122
    // (never compared), VOLI at 123..126.
    std::string bytes = HandMade(std::string("a.cs\0b.cs\0", 10), 0xFFFFFFFEu, "pVoL");
    ASSERT_EQ(bytes.size(), 127u);
    EXPECT_EQ(bytes.substr(123), Le32(0xFFFFFFFEu));
    std::string path = Raw("offsets.vol", bytes);
    EXPECT_EQ(reader.GetFileNames(path), "a.cs/b.cs/");
    EXPECT_EQ(reader.PVOL(), 100);
    EXPECT_EQ(reader.VOLS(), 10);
    EXPECT_EQ(reader.VOLI(), -2); // signed
    EXPECT_TRUE(errors.empty());
}

TEST_F(VOLReader, SignatureIsTheOnlyTestAndIgnoresCase)
{
    for (const char* sig : {"PVOL", "pvol", "PvOl"}) {
        std::string path = Raw(std::string(sig) + ".vol", HandMade(std::string("x\0", 2), 0, sig));
        EXPECT_TRUE(reader.IsValidVolume(path)) << sig;
    }
    for (const std::string& bytes : {std::string("PVO"), std::string(), std::string("PVOX rest"), std::string("VOLP")}) {
        errors.clear();
        std::string path = Raw("bad.vol", bytes);
        EXPECT_FALSE(reader.IsValidVolume(path)) << bytes;
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].number, 3);
        EXPECT_EQ(errors[0].message, "Invalid volume format.");
    }
}

TEST_F(VOLReader, FailuresKeepThePropertiesAndTableOfTheVolumeListedBefore)
{
    ASSERT_EQ(reader.GetFileNames(Volume("good.vol", {"a.cs", "b.cs"})), "a.cs/b.cs/");
    const auto before = std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), Table());

    EXPECT_EQ(reader.GetFileNames(Raw("text.vol", "just some text")), "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 3);
    EXPECT_EQ(std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), Table()), before);

    errors.clear();
    EXPECT_EQ(reader.GetFileNames(dir / "missing.vol"), "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 1);
    EXPECT_EQ(errors[0].message, "Path " + (dir / "missing.vol") + " not found.");
    EXPECT_EQ(std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), Table()), before);
    EXPECT_EQ(reader.GetDebugInfo(), "a.cs 0 0 0\\b.cs 0 0 0\\");
}

TEST_F(VOLReader, PathPropertyStandsInForAnEmptyVolumePath)
{
    EXPECT_EQ(reader.GetFileNames(), "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 2);
    EXPECT_EQ(errors[0].message, "No path to volume given.");
    errors.clear();
    EXPECT_FALSE(reader.IsValidVolume(""));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 2);

    reader.SetPath(Volume("p.vol", {"x.cs"}));
    EXPECT_EQ(reader.GetFileNames(), "x.cs/");
    EXPECT_EQ(reader.GetFileNames(""), "x.cs/");
    // A given path wins over the property.
    EXPECT_EQ(reader.GetFileNames(Volume("q.vol", {"y.cs"})), "y.cs/");
}

TEST_F(VOLReader, FoldersAndSpecialFilesAreNotFound)
{
    std::filesystem::create_directory(dir / "folder.vol");
    EXPECT_EQ(reader.GetFileNames(dir / "folder.vol"), "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 1);
#ifndef _WIN32
    // A FIFO must be turned away without blocking on it.
    errors.clear();
    ASSERT_EQ(::mkfifo((dir / "pipe.vol").c_str(), 0600), 0);
    EXPECT_FALSE(reader.IsValidVolume(dir / "pipe.vol"));
    EXPECT_EQ(reader.GetFileNames(dir / "pipe.vol"), "");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].number, 1);
    EXPECT_EQ(errors[1].number, 1);
#endif
}

TEST_F(VOLReader, DamagedDirectoryIsReportedAndChangesNothing)
{
    ASSERT_EQ(reader.GetFileNames(Volume("good.vol", {"keep.cs"})), "keep.cs/");
    const auto before = std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), Table());

    const std::string good = HandMade(std::string("a.cs\0", 5));
    auto withD = [&](std::uint32_t d) { return good.substr(0, 4) + Le32(d) + good.substr(8); };
    auto withS = [&](std::uint32_t s) { return good.substr(0, 104) + Le32(s) + good.substr(108); };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"d-minus-one", withD(0xFFFFFFFFu)},
        {"d-negative", withD(0x80000000u)},
        {"d-past-end", withD(static_cast<std::uint32_t>(good.size()))},
        {"d-leaves-no-room-for-s", withD(static_cast<std::uint32_t>(good.size() - 6))},
        {"s-zero", withS(0)},
        {"s-negative", withS(0xFFFFFFF0u)},
        {"s-past-end", withS(static_cast<std::uint32_t>(good.size()))},
        // Far more than the file holds: must be refused before allocating.
        {"s-huge", withS(0x7FFFFFFFu)},
        {"voli-cut-off", good.substr(0, good.size() - 1)},
        {"header-only", std::string("PVOL")},
        {"d-cut-off", std::string("PVOL\x08\x00", 6)},
    };
    for (const auto& [name, bytes] : cases) {
        errors.clear();
        std::string path = Raw(name + ".VOL", bytes);
        EXPECT_EQ(reader.GetFileNames(path), "") << name;
        ASSERT_EQ(errors.size(), 1u) << name;
        EXPECT_EQ(errors[0].number, 7) << name;
        EXPECT_EQ(errors[0].message, "Volume " + path + " is damaged or unreadable.") << name;
        EXPECT_EQ(std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), Table()), before)
            << name;
    }
    // The unchanged bytes read fine, so the cases above fail for their field.
    EXPECT_EQ(reader.GetFileNames(Raw("control.vol", good)), "a.cs/");
}

#ifndef _WIN32
TEST_F(VOLReader, UnreadableFileIsDamagedNotInvalid)
{
    std::string path = Volume("locked.vol", {"a.cs"});
    ::chmod(path.c_str(), 0);
    // As an ordinary user, for whom a file without rights cannot be opened.
    int code = test::RunInChild(
        [&] {
            clsVOLReader r(PathStyle::Posix);
            std::vector<Reported> seen;
            r.Error = [&](std::int16_t n, const std::string& m) { seen.push_back({n, m}); };
            bool empty = r.GetFileNames(path).empty();
            bool damaged = seen.size() == 1 && seen[0].number == 7 &&
                           seen[0].message == "Volume " + path + " is damaged or unreadable.";
            return empty && damaged && r.FileCount() == 0 ? 0 : 1;
        },
        {.unprivileged = true});
    EXPECT_EQ(code, 0);
}
#endif

TEST_F(VOLReader, DebugInfoDumpsTheTable)
{
    EXPECT_EQ(reader.GetDebugInfo(), "");
    reader.GetFileNames(Volume("d.vol", {"a.cs", "", "b.cs"}));
    EXPECT_EQ(reader.GetDebugInfo(), "a.cs 0 0 0\\ 0 0 0\\b.cs 0 0 0\\");
}

TEST_F(VOLReader, PropertiesAreWritableAndStartEmpty)
{
    EXPECT_EQ(reader.Path(), "");
    EXPECT_EQ(reader.ExtractPath(), "");
    EXPECT_EQ(reader.PVOL() | reader.VOLS() | reader.VOLI() | reader.FileCount(), 0);
    reader.SetPVOL(-5);
    reader.SetVOLS(6);
    reader.SetVOLI(7);
    reader.SetFileCount(8);
    reader.SetExtractPath("/x");
    EXPECT_EQ(std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), reader.ExtractPath()),
              std::make_tuple(-5, 6, 7, 8, std::string("/x")));
    // Only a successful listing sets the four directory values.
    reader.GetFileNames(Volume("s.vol", {"a"}));
    EXPECT_EQ(reader.FileCount(), 1);
    EXPECT_EQ(reader.VOLS(), 2);
}

// The Windows-style cases: paths are lower-cased in messages, and the
// extractor's command line uses backslashes. The file-system and process
// services are faked where a Windows path cannot exist here.
class WindowsReader : public ::testing::Test {
protected:
    WindowsReader()
        : reader(PathStyle::Windows, Fakes())
    {
        reader.Error = [this](std::int16_t n, const std::string& m) { errors.push_back({n, m}); };
        volume = dir / "Real.VOL";
        VolumeWriter w;
        w.Add("a.cs", "x");
        EXPECT_TRUE(w.Write(volume));
    }
    clsVOLReader::Hooks Fakes()
    {
        clsVOLReader::Hooks h;
        h.IsPlainFile = [this](const std::string& p) {
            return p == R"(C:\Tools\Extract.exe)" || test::Exists(p);
        };
        h.StartProcessHidden = [this](const std::string& line) {
            started.push_back(line);
            return nextId;
        };
        h.WaitForProcess = [this](std::int64_t id) {
            waited.push_back(id);
            return 0;
        };
        return h;
    }

    TempDir dir;
    std::string volume;
    std::vector<std::string> started;
    std::vector<std::int64_t> waited;
    std::int64_t nextId = 42;
    std::vector<Reported> errors;
    clsVOLReader reader;
};

TEST_F(WindowsReader, MessagesShowPathsInLowerCase)
{
    EXPECT_EQ(reader.GetFileNames(R"(C:\Games\TRIBES\Base\Missing.VOL)"), "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 1);
    EXPECT_EQ(errors[0].message, R"(Path c:\games\tribes\base\missing.vol not found.)");

    clsVOLReader posix(PathStyle::Posix);
    std::string message;
    posix.Error = [&](std::int16_t, const std::string& m) { message = m; };
    posix.GetFileNames("/Games/TRIBES/Missing.VOL");
    EXPECT_EQ(message, "Path /Games/TRIBES/Missing.VOL not found.");
}

TEST_F(WindowsReader, ExtractBuildsTheReaderCommandLine)
{
    reader.Extract(R"(scripts\ai\bot.cs)", R"(C:\out\)", volume, R"(C:\Tools\Extract.exe)");
    reader.Extract("a.cs", R"(C:\)", volume, R"(C:\Tools\Extract.exe)");
    reader.Extract("a.cs", R"(C:\out\\)", volume, R"(C:\Tools\Extract.exe)");
    reader.Extract("a.cs", R"(C:\out)", volume, R"(C:\Tools\Extract.exe)");
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(started.size(), 4u);
    EXPECT_EQ(started[0], R"(C:\Tools\Extract.exe ")" + volume + R"(" scripts\ai\bot.cs "C:\out\scripts\ai\bot.cs")");
    EXPECT_EQ(started[1], R"(C:\Tools\Extract.exe ")" + volume + R"(" a.cs "C:\a.cs")");
    EXPECT_EQ(started[2], R"(C:\Tools\Extract.exe ")" + volume + R"(" a.cs "C:\out\\a.cs")");
    EXPECT_EQ(started[3], R"(C:\Tools\Extract.exe ")" + volume + R"(" a.cs "C:\out\a.cs")");
    EXPECT_EQ(waited, (std::vector<std::int64_t>(4, 42)));
}

TEST_F(WindowsReader, ExtractFallsBackToItsProperties)
{
    reader.SetPath(volume);
    reader.SetExtractPath(R"(C:\Tools\Extract.exe)");
    reader.Extract("a.cs", R"(D:\x)");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], R"(C:\Tools\Extract.exe ")" + volume + R"(" a.cs "D:\x\a.cs")");
}

TEST_F(WindowsReader, ExtractChecksItsInputsInOrder)
{
    reader.Extract("a.cs", R"(C:\out)", volume);
    reader.Extract("a.cs", R"(C:\out)", volume, R"(C:\Tools\Missing.EXE)");
    reader.Extract("a.cs", R"(C:\out)", R"(C:\No\Such.VOL)", R"(C:\Tools\Extract.exe)");
    reader.Extract("a.cs", R"(C:\out)", "", R"(C:\Tools\Extract.exe)");
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0].number, 5);
    EXPECT_EQ(errors[0].message, "No path to Extract.exe specified.");
    EXPECT_EQ(errors[1].number, 4);
    EXPECT_EQ(errors[1].message, R"(c:\tools\missing.exe is not a valid path to Extract.exe.)");
    EXPECT_EQ(errors[2].number, 1);
    EXPECT_EQ(errors[2].message, R"(Path c:\no\such.vol not found.)");
    EXPECT_EQ(errors[3].number, 2);
    EXPECT_TRUE(started.empty());
}

TEST_F(WindowsReader, ProcessThatDoesNotStartIsError6)
{
    nextId = 0;
    reader.Extract("A.CS", R"(C:\Out)", volume, R"(C:\Tools\Extract.exe)");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 6);
    EXPECT_EQ(errors[0].message,
              "Unable to shell " + ToLower(R"(C:\Tools\Extract.exe ")" + volume + R"(" A.CS "C:\Out\A.CS")") + ".");
    EXPECT_TRUE(waited.empty());
}

TEST(PosixReader, ExtractSpellsOnlyTheOutputPathWithSlashes)
{
    TempDir dir;
    std::string volume = dir / "v.vol";
    VolumeWriter w;
    w.Add("a", "x");
    ASSERT_TRUE(w.Write(volume));
    std::vector<std::string> started;
    clsVOLReader::Hooks h;
    h.IsPlainFile = [](const std::string&) { return true; };
    h.StartProcessHidden = [&](const std::string& line) {
        started.push_back(line);
        return std::int64_t{7};
    };
    h.WaitForProcess = [](std::int64_t) { return 0; };
    clsVOLReader reader(PathStyle::Posix, h);
    reader.Extract(R"(Scripts\AI\Bot.cs)", "/Out/", volume, "/opt/Extract");
    reader.Extract("a", "/", volume, "/opt/Extract");
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0], "/opt/Extract \"" + volume + R"(" Scripts\AI\Bot.cs "/Out/Scripts/AI/Bot.cs")");
    EXPECT_EQ(started[1], "/opt/Extract \"" + volume + "\" a \"/a\"");
}

#ifndef _WIN32
TEST(PosixReader, ExtractRunsARealProcessAndWaitsForIt)
{
    TempDir dir;
    std::string volume = dir / "v.vol";
    VolumeWriter w;
    w.Add("a", "x");
    ASSERT_TRUE(w.Write(volume));
    // A stand-in extractor that leaves a mark after a pause: the mark being
    // there when Extract returns shows the wait.
    std::string tool = dir / "fake-extract";
    WriteFile(tool, "#!/bin/sh\nsleep 0.2\necho \"$2\" > \"$3\"\n");
    ::chmod(tool.c_str(), 0755);
    std::vector<Reported> errors;
    clsVOLReader reader(PathStyle::Posix);
    reader.Error = [&](std::int16_t n, const std::string& m) { errors.push_back({n, m}); };
    reader.Extract("plain.cs", dir.Path(), volume, tool);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(test::ReadFile(dir / "plain.cs"), "plain.cs\n");

    // A plain file that cannot be run: the start fails, error 6.
    std::string notRunnable = dir / "not-runnable";
    WriteFile(notRunnable, "data");
    ::chmod(notRunnable.c_str(), 0644);
    reader.Extract("a", dir.Path(), volume, notRunnable);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 6);
    EXPECT_EQ(errors[0].message, "Unable to shell " + notRunnable + " \"" + volume + "\" a \"" + dir.Path() + "/a\".");
}
#endif

} // namespace
