// The reader on volumes from our writer and on hand-made ones; the forms
// made to hurt it are HostileVolumeTest's.
#include "volume/clsVOLReader.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tarnwick;
using tarnwick::test::Le32;
using V = std::vector<std::string>;
using Errors = std::vector<std::pair<int, std::string>>;

namespace {

// For what the writer cannot produce: any name block and signature, D = 100,
// garbage tags, a pad byte and a chosen VOLI.
std::string HandMade(const std::string& block, std::uint32_t voli = 0x01020304, const std::string& sig = "PVOL")
{
    return sig + Le32(100) + std::string(92, 'x') + "XXXX" + Le32(static_cast<std::uint32_t>(block.size())) + block +
           "\x7FYYYY" + Le32(voli);
}

class VOLReader : public ::testing::Test {
protected:
    VOLReader() { reader.Error = [this](std::int16_t n, const std::string& m) { errors.emplace_back(n, m); }; }

    std::string Volume(const std::string& name, const V& names) { return test::MakeVolume(dir / name, names); }
    V Table() const
    {
        V t;
        for (std::size_t i = 0; i < reader.TableSize(); ++i)
            t.emplace_back(reader.TableName(i));
        return t;
    }
    // A failed listing reports `expected` and keeps what was listed before.
    void ExpectRefused(const std::string& path, const Errors& expected)
    {
        auto state = [this] { return std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI(), reader.FileCount(), Table()); };
        const auto before = state();
        errors.clear();
        EXPECT_EQ(reader.GetFileNames(path), "") << path;
        EXPECT_EQ(errors, expected) << path;
        EXPECT_EQ(state(), before) << path;
    }

    test::TempDir dir;
    clsVOLReader reader{PathStyle::Posix};
    Errors errors;
};

TEST_F(VOLReader, ListsNamesAsStoredAndSplitsTheTextAtEverySlash)
{
    std::vector<std::tuple<V, std::string, V>> cases = {
        {{"Scripts\\AI\\Bot.CS", "", " a.cs"}, "Scripts\\AI\\Bot.CS// a.cs/", {"Scripts\\AI\\Bot.CS", "", " a.cs"}},
        {{"a/b.cs"}, "a/b.cs/", {"a", "b.cs"}},
        {{""}, "/", {}}, // the table is empty rather than one empty name
        {},
    };
    // Long enough that every stretch of the block is walked as a big
    // volume's is, with names of every length.
    auto& [names, all, table] = cases.back();
    for (int i = 0; i < 700; ++i) {
        names.emplace_back(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26));
        all += names.back() + "/";
    }
    table = names;
    for (const auto& [stored, text, expected] : cases) {
        // The window lists without the text; the table must be the same.
        for (const bool withText : {false, true}) {
            const std::string path = Volume("v.vol", stored);
            if (withText)
                EXPECT_EQ(reader.GetFileNames(path), text);
            else
                EXPECT_TRUE(reader.ListNames(path)) << text;
            EXPECT_EQ(Table(), expected) << text;
            EXPECT_EQ(reader.FileCount(), static_cast<std::int32_t>(expected.size())) << text;
            EXPECT_EQ(reader.VOLS(), static_cast<std::int32_t>(text.size())) << text;
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(VOLReader, ReadsEachFieldAtItsOwnOffsetOnly)
{
    // Only the signature is compared, in any case; the other tags never are.
    const std::string path = test::WriteFile(dir / "v.vol", HandMade(std::string("a.cs\0b.cs\0", 10), 0xFFFFFFFEu, "pVoL"));
    EXPECT_TRUE(reader.IsValidVolume(path));
    EXPECT_EQ(reader.GetFileNames(path), "a.cs/b.cs/");
    EXPECT_EQ(std::make_tuple(reader.PVOL(), reader.VOLS(), reader.VOLI()), std::make_tuple(100, 10, -2));
    EXPECT_TRUE(errors.empty());
}

TEST_F(VOLReader, FailuresKeepThePropertiesAndTableOfTheVolumeListedBefore)
{
    ASSERT_EQ(reader.GetFileNames(Volume("good.vol", {"a.cs", "", "b.cs"})), "a.cs//b.cs/");
    EXPECT_EQ(reader.GetDebugInfo(), "a.cs 0 0 0\\ 0 0 0\\b.cs 0 0 0\\");
    const std::string good = HandMade(std::string("a.cs\0", 5));
    auto withD = [&](std::uint32_t d) { return good.substr(0, 4) + Le32(d) + good.substr(8); };
    auto withS = [&](std::uint32_t s) { return good.substr(0, 104) + Le32(s) + good.substr(108); };
    const auto size = static_cast<std::uint32_t>(good.size());
    // The unchanged bytes read fine, so each damaged one fails for its own field.
    EXPECT_EQ(reader.GetFileNames(test::WriteFile(dir / "control.vol", good)), "a.cs/");
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"d-minus-one", withD(0xFFFFFFFFu)}, {"d-negative", withD(0x80000000u)}, {"d-past-end", withD(size)},
             {"d-leaves-no-room-for-s", withD(size - 6)}, {"s-zero", withS(0)}, {"s-negative", withS(0xFFFFFFF0u)},
             {"s-past-end", withS(size)}, {"voli-cut-off", good.substr(0, size - 1)}, {"header-only", "PVOL"},
             {"d-cut-off", std::string("PVOL\x08\x00", 6)}}) {
        const std::string path = test::WriteFile(dir / name + ".VOL", bytes);
        ExpectRefused(path, {{7, "Volume " + path + " is damaged or unreadable."}});
    }
    // POSIX paths keep their case in messages.
    for (const auto& [path, error] : std::vector<std::pair<std::string, Errors::value_type>>{
             {test::WriteFile(dir / "volp.vol", HandMade("x", 0, "VOLP")), {3, "Invalid volume format."}},
             {dir / "Missing.VOL", {1, "Path " + (dir / "Missing.VOL") + " not found."}},
             {"", {2, "No path to volume given."}},
         }) {
        EXPECT_FALSE(reader.IsValidVolume(path)) << path;
        ExpectRefused(path, {error});
    }
    // The Path property stands in for an empty path; a given one wins.
    reader.SetPath(Volume("p.vol", {"x.cs"}));
    EXPECT_EQ(reader.GetFileNames(), "x.cs/");
    EXPECT_EQ(reader.GetFileNames(Volume("q.vol", {"y.cs"})), "y.cs/");
}

// The extractor's command line, the system's services faked where a
// Windows path cannot exist here.
class ExtractLine : public ::testing::Test {
protected:
    ExtractLine() { test::WriteFile(volume, "PVOL"); } // all that the reader looks at
    clsVOLReader Reader(PathStyle style)
    {
        OsServices services;
        services.IsPlainFile = [](const std::string& p) { return p == kWinTool || p == kPosixTool || test::Exists(p); };
        services.StartProcessHidden = [this](const std::string& line, bool) { return started.push_back(line), nextId; };
        services.WaitForProcess = [this](std::int64_t id, std::string*) { return waited.push_back(id), 0; };
        clsVOLReader r(style, services);
        r.Error = [this](std::int16_t n, const std::string& m) { errors.emplace_back(n, m); };
        return r;
    }
    std::string Line(const std::string& tool, const std::string& name, const std::string& out) const
    {
        return tool + " \"" + volume + "\" " + name + " \"" + out + "\"";
    }

    static constexpr const char* kWinTool = R"(C:\Tools\Extract.exe)";
    static constexpr const char* kPosixTool = "/opt/Extract";
    test::TempDir dir;
    const std::string volume = dir / "Real.VOL";
    V started;
    std::vector<std::int64_t> waited;
    std::int64_t nextId = 42;
    Errors errors;
};

TEST_F(ExtractLine, ChecksItsInputsThenSpellsOnlyTheOutputPathInTheLocalStyle)
{
    using Case = std::tuple<PathStyle, std::string, std::string, std::string>;
    for (const auto& [style, name, destination, output] : std::vector<Case>{
             {PathStyle::Windows, R"(scripts\ai\bot.cs)", R"(C:\out\)", R"(C:\out\scripts\ai\bot.cs)"},
             {PathStyle::Windows, "a.cs", R"(C:\out\\)", R"(C:\out\\a.cs)"},
             {PathStyle::Posix, R"(Scripts\AI\Bot.cs)", "/Out/", "/Out/Scripts/AI/Bot.cs"},
             {PathStyle::Windows, "a.cs", "", R"(\a.cs)"}, // no destination: the root
             {PathStyle::Posix, "a.cs", "", "/a.cs"},
         }) {
        const std::string tool = style == PathStyle::Windows ? kWinTool : kPosixTool;
        Reader(style).Extract(name, destination, volume, tool);
        EXPECT_EQ(started.back(), Line(tool, name, output));
    }
    // Empty volume and extractor paths stand for the properties.
    clsVOLReader r = Reader(PathStyle::Windows);
    r.SetPath(volume);
    r.SetExtractPath(kWinTool);
    r.Extract("a.cs", R"(D:\x)");
    EXPECT_EQ(started.back(), Line(kWinTool, "a.cs", R"(D:\x\a.cs)"));
    // Its inputs are checked in order; Windows paths show in lower case.
    clsVOLReader w = Reader(PathStyle::Windows);
    w.Extract("a.cs", R"(C:\out)", volume);
    w.Extract("a.cs", R"(C:\out)", volume, R"(C:\Tools\Missing.EXE)");
    w.Extract("a.cs", R"(C:\out)", R"(C:\No\Such.VOL)", kWinTool);
    w.Extract("a.cs", R"(C:\out)", "", kWinTool);
    nextId = 0; // the process does not start
    w.Extract("A.CS", R"(C:\Out)", volume, kWinTool);
    EXPECT_EQ(errors, (Errors{{5, "No path to Extract.exe specified."},
                              {4, R"(c:\tools\missing.exe is not a valid path to Extract.exe.)"},
                              {1, R"(Path c:\no\such.vol not found.)"},
                              {2, "No path to volume given."},
                              {6, "Unable to shell " + ToLower(Line(kWinTool, "A.CS", R"(C:\Out\A.CS)")) + "."}}));
    EXPECT_EQ(started.size(), 7u);
    EXPECT_EQ(waited, std::vector<std::int64_t>(6, 42));
}

} // namespace
