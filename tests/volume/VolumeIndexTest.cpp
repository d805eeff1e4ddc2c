#include "volume/VolumeIndex.h"
#include "volume/VolumeWriter.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace tarnwick;
using tarnwick::test::TempDir;
using tarnwick::test::WriteFile;
using Status = VolumeIndex::Status;

namespace {

std::uint32_t Get32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

void Put32(std::string& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Where the writer put the parts of its volume, for damaging them on purpose.
struct Layout {
    std::size_t d, s, voli, index;
    explicit Layout(const std::string& v)
        : d(Get32(v, 4)), s(Get32(v, d + 4)), voli(d + 9 + s), index(d + 17 + s)
    {
    }
    std::size_t Entry(std::size_t i) const { return index + 17 * i; }
};

std::string Sample()
{
    VolumeWriter w;
    w.Add("scripts\\ai\\bot.cs", "function bot() {}\n");
    w.Add("", "");
    w.Add("Skins\\LArmor.bmp", std::string("BM\0\0\x01\x02", 6) + std::string(300, '\x7f'));
    w.Add("read me.txt", "hello");
    return w.Build();
}

std::string DataOf(const std::string& volume, const VolumeIndex::Entry& e)
{
    return volume.substr(static_cast<std::size_t>(e.dataOffset), static_cast<std::size_t>(e.length));
}

Status Parse(VolumeIndex& index, const std::string& bytes)
{
    return index.ParseBuffer(bytes.data(), bytes.size());
}

} // namespace

TEST(VolumeIndexRead, WriterVolumeGivesEveryEntryInOrderWithItsBytes)
{
    const std::string v = Sample();
    VolumeIndex index;
    ASSERT_EQ(Parse(index, v), Status::Ok) << index.Problem();
    const auto& e = index.Entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].name, "scripts\\ai\\bot.cs");
    EXPECT_EQ(DataOf(v, e[0]), "function bot() {}\n");
    EXPECT_EQ(e[1].name, "");
    EXPECT_EQ(e[1].length, 0);
    EXPECT_EQ(DataOf(v, e[2]), std::string("BM\0\0\x01\x02", 6) + std::string(300, '\x7f'));
    EXPECT_EQ(DataOf(v, e[3]), "hello");
    for (const auto& entry : e) {
        EXPECT_EQ(entry.method, 0);
        EXPECT_TRUE(entry.located);
        EXPECT_EQ(entry.dataOffset, entry.blockOffset + 8); // past "VBLK" and its length
    }
}

TEST(VolumeIndexRead, EmptyVolumeHasNoEntries)
{
    VolumeIndex index;
    ASSERT_EQ(Parse(index, VolumeWriter().Build()), Status::Ok);
    EXPECT_TRUE(index.Entries().empty());
    EXPECT_EQ(index.Find("anything"), nullptr);
}

TEST(VolumeIndexRead, FindIgnoresCaseAndTakesTheFirstOfTwins)
{
    VolumeWriter w;
    w.Add("Base\\Mission.CS", "first");
    w.Add("base\\mission.cs", "second");
    const std::string v = w.Build();
    VolumeIndex index;
    ASSERT_EQ(Parse(index, v), Status::Ok);
    const auto* hit = index.Find("BASE\\MISSION.cs");
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(DataOf(v, *hit), "first");
    EXPECT_EQ(index.Find("base/mission.cs"), nullptr); // slashes are not backslashes
    EXPECT_EQ(index.Find("base\\mission"), nullptr);
}

TEST(VolumeIndexLenient, TagsInAnyCase)
{
    std::string v = Sample();
    Layout at(v);
    v.replace(0, 4, "pVoL");
    v.replace(at.d, 4, "VOLS");
    v.replace(at.voli, 4, "VoLi");
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t block = Get32(v, at.Entry(i) + 8);
        v.replace(block, 4, "vblk");
    }
    VolumeIndex index;
    ASSERT_EQ(Parse(index, v), Status::Ok) << index.Problem();
    ASSERT_EQ(index.Entries().size(), 4u);
    EXPECT_EQ(DataOf(v, index.Entries()[3]), "hello");
}

class VolumeIndexPad : public ::testing::TestWithParam<int> {};

TEST_P(VolumeIndexPad, IndexTagFoundAfterZeroToThreePadBytes)
{
    std::string v = Sample();
    Layout at(v);
    const int pad = GetParam();
    // The writer leaves one pad byte.
    if (pad == 0)
        v.erase(at.d + 8 + at.s, 1);
    else
        v.insert(at.d + 8 + at.s, std::string(static_cast<std::size_t>(pad - 1), '\xEE'));
    VolumeIndex index;
    ASSERT_EQ(Parse(index, v), Status::Ok) << index.Problem();
    ASSERT_EQ(index.Entries().size(), 4u);
    EXPECT_EQ(index.Entries()[0].name, "scripts\\ai\\bot.cs");
    EXPECT_EQ(DataOf(v, index.Entries()[0]), "function bot() {}\n");
}

INSTANTIATE_TEST_SUITE_P(Pads, VolumeIndexPad, ::testing::Values(0, 1, 2, 3));

TEST(VolumeIndexLenient, FourPadBytesAreTooMany)
{
    std::string v = Sample();
    Layout at(v);
    v.insert(at.d + 8 + at.s, std::string(3, '\0'));
    VolumeIndex index;
    EXPECT_EQ(Parse(index, v), Status::Damaged);
    EXPECT_TRUE(index.Entries().empty());
}

TEST(VolumeIndexLenient, OffsetStraightAtTheDataIsTheData)
{
    std::string v = Sample();
    Layout at(v);
    Put32(v, at.Entry(3) + 8, Get32(v, at.Entry(3) + 8) + 8);
    VolumeIndex index;
    ASSERT_EQ(Parse(index, v), Status::Ok) << index.Problem();
    const auto& e = index.Entries()[3];
    EXPECT_EQ(e.dataOffset, e.blockOffset);
    EXPECT_EQ(DataOf(v, e), "hello");
}

TEST(VolumeIndexLenient, LastNameWithoutItsNulEndsWithTheBlock)
{
    VolumeWriter w;
    w.Add("a.cs", "A");
    w.Add("last.cs", "L");
    std::string v = w.Build();
    Layout at(v);
    // Drop the final NUL of the name block, shortening S to match.
    v.erase(at.d + 8 + at.s - 1, 1);
    Put32(v, at.d + 4, static_cast<std::uint32_t>(at.s - 1));
    VolumeIndex index;
    ASSERT_EQ(Parse(index, v), Status::Ok) << index.Problem();
    EXPECT_EQ(index.Entries()[1].name, "last.cs");
    EXPECT_EQ(DataOf(v, index.Entries()[1]), "L");
}

TEST(VolumeIndexNotAVolume, ShortOrWrongSignature)
{
    VolumeIndex index;
    EXPECT_EQ(Parse(index, ""), Status::NotAVolume);
    EXPECT_EQ(Parse(index, "PVO"), Status::NotAVolume);
    std::string v = Sample();
    v[0] = 'Q';
    EXPECT_EQ(Parse(index, v), Status::NotAVolume);
    EXPECT_EQ(Parse(index, "RIFF\x10\0\0\0WAVEfmt "), Status::NotAVolume);
    EXPECT_FALSE(index.Problem().empty());
}

struct Damage {
    const char* what;
    void (*apply)(std::string& v, const Layout& at);
};

class VolumeIndexDamaged : public ::testing::TestWithParam<Damage> {};

TEST_P(VolumeIndexDamaged, IsDamagedAndLeavesNoEntries)
{
    std::string v = Sample();
    const Layout at(v);
    GetParam().apply(v, at);
    VolumeIndex index;
    ASSERT_EQ(Parse(index, VolumeWriter().Build()), Status::Ok);
    EXPECT_EQ(Parse(index, v), Status::Damaged) << GetParam().what;
    EXPECT_TRUE(index.Entries().empty());
    EXPECT_FALSE(index.Problem().empty());
}

const Damage kDamages[] = {
    {"header cut after the signature", [](std::string& v, const Layout&) { v.resize(6); }},
    {"D inside the header", [](std::string& v, const Layout&) { Put32(v, 4, 4); }},
    {"D past the end", [](std::string& v, const Layout&) { Put32(v, 4, static_cast<std::uint32_t>(v.size())); }},
    {"D at the top of the range", [](std::string& v, const Layout&) { Put32(v, 4, 0xFFFFFFFFu); }},
    {"no name block tag at D", [](std::string& v, const Layout& at) { v.replace(at.d, 4, "xols"); }},
    {"S past the end", [](std::string& v, const Layout& at) { Put32(v, at.d + 4, 0x7FFFFFFFu); }},
    {"S of four gigabytes", [](std::string& v, const Layout& at) { Put32(v, at.d + 4, 0xFFFFFFFFu); }},
    {"no index tag", [](std::string& v, const Layout& at) { v.replace(at.voli, 4, "vola"); }},
    {"L past the end", [](std::string& v, const Layout& at) { Put32(v, at.voli + 4, 0xFFFFFFF0u); }},
    {"L not whole entries", [](std::string& v, const Layout& at) { Put32(v, at.voli + 4, 17 * 4 - 1); }},
    {"index cut short", [](std::string& v, const Layout& at) { v.resize(at.Entry(3) + 10); }},
    {"name offset at the end of the block",
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(2) + 4, static_cast<std::uint32_t>(at.s)); }},
    {"name offset far out", [](std::string& v, const Layout& at) { Put32(v, at.Entry(0) + 4, 0xFFFFFFFFu); }},
    {"block offset past the end",
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(1) + 8, static_cast<std::uint32_t>(v.size() + 1)); }},
    {"length past the end", [](std::string& v, const Layout& at) { Put32(v, at.Entry(3) + 12, 0xFFFFFFFFu); }},
    {"length runs one byte past the end",
     [](std::string& v, const Layout& at) {
         const std::uint32_t block = Get32(v, at.Entry(3) + 8);
         Put32(v, at.Entry(3) + 12, static_cast<std::uint32_t>(v.size() - (block + 8) + 1));
     }},
};

INSTANTIATE_TEST_SUITE_P(Forms, VolumeIndexDamaged, ::testing::ValuesIn(kDamages));

TEST(VolumeIndexDamaged, LengthReachingExactlyTheEndIsWhole)
{
    // The last byte of the file may be the last byte of a file's data.
    VolumeWriter w;
    w.Add("a", "abc");
    std::string v = w.Build();
    Layout at(v);
    const std::uint32_t block = Get32(v, at.Entry(0) + 8);
    Put32(v, at.Entry(0) + 12, static_cast<std::uint32_t>(v.size() - (block + 8)));
    VolumeIndex index;
    ASSERT_EQ(Parse(index, v), Status::Ok) << index.Problem();
    EXPECT_EQ(index.Entries()[0].dataOffset + index.Entries()[0].length, static_cast<std::int64_t>(v.size()));
}

TEST(VolumeIndexDeferred, OnlyTheEntryAskedForIsLocated)
{
    std::string v = Sample();
    Layout at(v);
    Put32(v, at.Entry(0) + 12, 0x00FFFFFFu); // bot.cs now runs past the end
    VolumeIndex index;
    EXPECT_EQ(Parse(index, v), Status::Damaged);

    const auto read = [&v](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
        if (offset < 0 || offset > static_cast<std::int64_t>(v.size()))
            return -1;
        const auto n = std::min<std::int64_t>(count, static_cast<std::int64_t>(v.size()) - offset);
        std::memcpy(buffer, v.data() + offset, static_cast<std::size_t>(n));
        return n;
    };
    const auto size = static_cast<std::int64_t>(v.size());
    ASSERT_EQ(index.Parse(read, size, VolumeIndex::Data::Defer), Status::Ok);
    VolumeIndex::Entry* good = index.Find("read me.txt");
    ASSERT_NE(good, nullptr);
    EXPECT_FALSE(good->located);
    ASSERT_EQ(index.LocateData(read, size, *good), Status::Ok);
    EXPECT_EQ(DataOf(v, *good), "hello");
    VolumeIndex::Entry* bad = index.Find("scripts\\ai\\bot.cs");
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(index.LocateData(read, size, *bad), Status::Damaged);
    EXPECT_FALSE(bad->located);
    EXPECT_NE(index.Problem().find("bot.cs"), std::string::npos);
}

TEST(VolumeIndexSource, FailingReadsAreUnreadable)
{
    const std::string v = Sample();
    VolumeIndex index;
    EXPECT_EQ(index.Parse([](std::int64_t, void*, std::int64_t) -> std::int64_t { return -1; },
                          static_cast<std::int64_t>(v.size())),
              Status::Unreadable);
    // A source that dies after the header: the directory cannot be read.
    EXPECT_EQ(index.Parse(
                  [&v](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
                      if (offset >= 8)
                          return -1;
                      const auto n = std::min<std::int64_t>(count, 8 - offset);
                      std::memcpy(buffer, v.data() + offset, static_cast<std::size_t>(n));
                      return n;
                  },
                  static_cast<std::int64_t>(v.size())),
              Status::Unreadable);
    EXPECT_TRUE(index.Entries().empty());
}

TEST(VolumeIndexSource, Files)
{
    TempDir dir;
    const std::string v = Sample();
    WriteFile(dir / "good.vol", v);
    VolumeIndex index;
    ASSERT_EQ(index.ParseFile(dir / "good.vol"), Status::Ok);
    EXPECT_EQ(index.Entries().size(), 4u);
    EXPECT_EQ(index.ParseFile(dir / "missing.vol"), Status::Unreadable);
    EXPECT_TRUE(index.Entries().empty());
    std::filesystem::create_directory(dir / "folder.vol");
    EXPECT_EQ(index.ParseFile(dir / "folder.vol"), Status::Unreadable);
    WriteFile(dir / "text.vol", "just some text, no volume at all");
    EXPECT_EQ(index.ParseFile(dir / "text.vol"), Status::NotAVolume);
}
