// The lenient directory parser behind the extractor, on writer volumes
// changed on purpose; ExtractToolTest finds entries by name and locates
// the data of one only.
#include "volume/VolumeIndex.h"
#include "volume/VolumeLookup.h"
#include "volume/VolumeWriter.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace tarnwick;
using Status = VolumeIndex::Status;

namespace {

using Layout = test::VolumeLayout;
using test::Get32;
using test::Put32;

const test::Files kFiles = {{"scripts\\ai\\bot.cs", "function bot() {}\n"}, {"", ""},
                            {"Skins\\LArmor.bmp", std::string("BM\0\0\x01\x02", 6)}, {"read me.txt", "hello"}};

std::string Sample() { return test::BuildVolume(kFiles); }

struct Form {
    const char* what;
    Status status;
    void (*apply)(std::string& v, const Layout& at);
    int brokenEntry = -1; // the one entry the damage is in, when it is in one
};

const Form kForms[] = {
    // Forms seen in volumes from other tools: each reads whole.
    {"as written", Status::Ok, [](std::string&, const Layout&) {}},
    {"tags in any case", Status::Ok,
     [](std::string& v, const Layout& at) {
         v.replace(0, 4, "pVoL");
         v.replace(at.d, 4, "VOLS");
         v.replace(at.voli, 4, "VoLi");
         for (std::size_t i = 0; i < 4; ++i)
             v.replace(Get32(v, at.Entry(i) + 8), 4, "vblk");
     }},
    {"no pad byte", Status::Ok, [](std::string& v, const Layout& at) { v.erase(at.voli - 1, 1); }},
    {"three pad bytes", Status::Ok, [](std::string& v, const Layout& at) { v.insert(at.voli, "\xEE\xEE"); }},
    {"offset straight at the data", Status::Ok,
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(3) + 8, Get32(v, at.Entry(3) + 8) + 8); }},
    {"last name without its NUL", Status::Ok,
     [](std::string& v, const Layout& at) { v.erase(at.voli - 2, 1), Put32(v, at.d + 4, std::uint32_t(at.s - 1)); }},
    {"data reaching exactly the end", Status::Ok,
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(3) + 12, std::uint32_t(v.size() - Get32(v, at.Entry(3) + 8) - 8)); }},

    {"three bytes", Status::NotAVolume, [](std::string& v, const Layout&) { v.resize(3); }},
    {"another signature", Status::NotAVolume, [](std::string& v, const Layout&) { v.replace(0, 4, "RIFF"); }},

    {"header cut after the signature", Status::Damaged, [](std::string& v, const Layout&) { v.resize(6); }},
    {"D inside the header", Status::Damaged, [](std::string& v, const Layout&) { Put32(v, 4, 4); }},
    {"D past the end", Status::Damaged,
     [](std::string& v, const Layout&) { Put32(v, 4, static_cast<std::uint32_t>(v.size())); }},
    {"no name block tag at D", Status::Damaged, [](std::string& v, const Layout& at) { v.replace(at.d, 4, "xols"); }},
    {"S past the end", Status::Damaged, [](std::string& v, const Layout& at) { Put32(v, at.d + 4, 0xFFFFFFFFu); }},
    {"four pad bytes", Status::Damaged, [](std::string& v, const Layout& at) { v.insert(at.voli, 3, '\0'); }},
    {"no index tag", Status::Damaged, [](std::string& v, const Layout& at) { v.replace(at.voli, 4, "vola"); }},
    {"L past the end", Status::Damaged, [](std::string& v, const Layout& at) { Put32(v, at.voli + 4, 0xFFFFFFF0u); }},
    {"L not whole entries", Status::Damaged, [](std::string& v, const Layout& at) { Put32(v, at.voli + 4, 67); }},
    {"name offset at the end of the block", Status::Damaged,
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(2) + 4, static_cast<std::uint32_t>(at.s)); }, 2},
    {"block offset past the end", Status::Damaged,
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(1) + 8, static_cast<std::uint32_t>(v.size() + 1)); }, 1},
    {"length one byte past the end", Status::Damaged,
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(3) + 12, std::uint32_t(v.size() - Get32(v, at.Entry(3) + 8) - 7)); },
     3},
};

// Looks `name` up in `v` read from memory, at most `most` bytes a call when given.
VolumeLookup LookUp(const std::string& v, const std::string& name, std::int64_t most = -1)
{
    const auto size = static_cast<std::int64_t>(v.size());
    const VolumeIndex::ReadFn read = [&v, size, most](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
        if (offset < 0 || offset > size)
            return -1;
        const std::int64_t n = std::min({count, size - offset, most > 0 ? most : count});
        std::memcpy(buffer, v.data() + offset, static_cast<std::size_t>(n));
        return n;
    };
    return LookUpVolumeEntry(read, size, name);
}

} // namespace

class VolumeIndexForm : public ::testing::TestWithParam<Form> {};

// The whole parse gives the form's status and only sound entries; the
// one-entry lookup refuses what it refuses, in the same words, and finds what
// it finds; damage in one entry keeps only that one out.
TEST_P(VolumeIndexForm, WholeParseAndLookupAgreeOnStatusAndEntries)
{
    const Form& f = GetParam();
    std::string v = Sample();
    VolumeIndex index;
    ASSERT_EQ(index.ParseBuffer(v.data(), v.size()), Status::Ok);
    f.apply(v, Layout(v));
    const Status whole = index.ParseBuffer(v.data(), v.size());
    ASSERT_EQ(whole, f.status) << f.what << ": " << index.Problem();
    EXPECT_EQ(index.Problem().empty(), f.status == Status::Ok) << f.what;
    ASSERT_EQ(index.Entries().size(), f.status == Status::Ok ? kFiles.size() : 0u) << f.what;
    for (std::size_t i = 0; i < index.Entries().size(); ++i) {
        const auto& e = index.Entries()[i];
        EXPECT_EQ(std::make_pair(e.name, e.method), std::make_pair(kFiles[i].first, std::uint8_t{0}));
        // The last entry's length may have grown: only its start counts.
        const std::string got = v.substr(static_cast<std::size_t>(e.dataOffset), static_cast<std::size_t>(e.length));
        EXPECT_EQ(i == 3 ? got.substr(0, kFiles[i].second.size()) : got, kFiles[i].second) << f.what;
    }
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        for (const std::int64_t most : {-1, 7}) { // a source that hands out a few bytes a call, too
            SCOPED_TRACE(std::string(f.what) + ", entry " + std::to_string(i) + ", most " + std::to_string(most));
            const VolumeLookup r = LookUp(v, kFiles[i].first, most);
            if (f.brokenEntry >= 0) {
                EXPECT_EQ(r.status == Status::Ok && r.found, static_cast<int>(i) != f.brokenEntry) << r.problem;
                continue;
            }
            ASSERT_EQ(r.status, whole);
            EXPECT_EQ(r.problem, index.Problem());
            if (whole != Status::Ok)
                continue;
            ASSERT_TRUE(r.found);
            const auto& e = index.Entries()[i];
            EXPECT_EQ(std::make_tuple(r.entry.name, r.entry.dataOffset, r.entry.length, r.entry.method),
                      std::make_tuple(e.name, e.dataOffset, e.length, e.method));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, VolumeIndexForm, ::testing::ValuesIn(kForms));

namespace {

const char* const kTwins[] = {"A.cs", "a.cs", "b.CS", "B.cs", "\xC9t\xC9.cs", "sub\\x.cs"};

const struct {
    const char* what;
    std::string name;
    int entry; // -1: none
} kNameCases[] = {
    {"an exact match wins over an earlier case twin", "a.cs", 1},
    {"the earlier twin by its own bytes", "A.cs", 0},
    {"no exact match: the first without regard to case", "B.CS", 2},
    {"bytes above 0x7F are not folded", "\xE9t\xE9.cs", -1},
    {"ASCII folds around them", "\xC9T\xC9.CS", 4},
    {"a prefix is not a match", "sub", -1},
    {"a suffix is not a match", "x.cs", -1},
    {"longer than every name", "sub\\x.cs\\y", -1},
    {"the empty name", "", -1},
    // Compared in place, a NUL in the name asked for would run on into the
    // next stored name.
    {"a NUL inside names nothing", std::string("A.cs\0a.cs", 9), -1},
};

} // namespace

TEST(FindByBytes, WholeParseAndLookupPickTheSameEntry)
{
    VolumeWriter w;
    for (const char* n : kTwins)
        w.Add(n, n);
    const std::string v = w.Build();
    VolumeIndex index;
    ASSERT_EQ(index.ParseBuffer(v.data(), v.size()), Status::Ok);
    for (const auto& c : kNameCases) {
        SCOPED_TRACE(c.what);
        const VolumeIndex::Entry* found = index.Find(c.name);
        EXPECT_EQ(found ? found - index.Entries().data() : -1, c.entry);
        const VolumeLookup r = LookUp(v, c.name);
        EXPECT_EQ(std::make_pair(r.status, r.found), std::make_pair(Status::Ok, c.entry >= 0));
        if (r.found && c.entry >= 0) {
            EXPECT_EQ(v.substr(std::size_t(r.entry.dataOffset), std::size_t(r.entry.length)), kTwins[c.entry]);
        }
    }
}

// An index whose entries run against the order of their names, and names that
// overlap (one entry's name the tail of another's): the lookup reads the name
// block per chunk in its own order, yet answers as the index orders them.
TEST(VolumeLookup, ScatteredAndOverlappingNames)
{
    VolumeWriter w;
    constexpr int kCount = 20000;
    for (int i = 0; i < kCount; ++i)
        w.Add("f" + std::to_string(i) + ".cs", std::to_string(i));
    std::string v = w.Build();
    const Layout at(v);
    // Reverse the entries' name offsets and data offsets together.
    for (int i = 0, j = kCount - 1; i < j; ++i, --j)
        for (std::size_t field : {4u, 8u, 12u}) {
            const std::uint32_t a = Get32(v, at.Entry(i) + field), b = Get32(v, at.Entry(j) + field);
            Put32(v, at.Entry(i) + field, b);
            Put32(v, at.Entry(j) + field, a);
        }
    // Entry 0 now names "f19999.cs"; point entry 1 into it at "9999.cs", and
    // make it hold the data of entry 10000.
    Put32(v, at.Entry(1) + 4, Get32(v, at.Entry(0) + 4) + 2);
    Put32(v, at.Entry(1) + 8, Get32(v, at.Entry(kCount - 10001) + 8));
    Put32(v, at.Entry(1) + 12, Get32(v, at.Entry(kCount - 10001) + 12));
    VolumeIndex index;
    ASSERT_EQ(index.ParseBuffer(v.data(), v.size()), Status::Ok);
    for (const char* name : {"f0.cs", "f19999.cs", "f12345.cs", "9999.cs", "F10000.CS", "f9999.cs"}) {
        const VolumeLookup r = LookUp(v, name);
        const VolumeIndex::Entry* e = index.Find(name);
        ASSERT_TRUE(e && r.status == Status::Ok && r.found) << name;
        EXPECT_EQ(std::make_tuple(r.entry.name, r.entry.dataOffset, r.entry.length),
                  std::make_tuple(e->name, e->dataOffset, e->length))
            << name;
    }
    EXPECT_EQ(v.substr(static_cast<std::size_t>(LookUp(v, "9999.cs").entry.dataOffset), 5), "10000");
}

// A claimed gigabyte of index (all zero, never stored) is read in small
// pieces: the lookup holds a chunk, not the index.
TEST(VolumeLookup, HugeIndexIsReadInSmallPieces)
{
    std::string v = test::BuildVolume({{"a.cs", "aaa"}});
    const Layout at(v);
    const std::int64_t entries = 63'000'000;
    Put32(v, at.voli + 4, static_cast<std::uint32_t>(entries * 17));
    const auto stored = static_cast<std::int64_t>(v.size());
    const std::int64_t size = static_cast<std::int64_t>(at.voli) + 8 + entries * 17;
    std::int64_t largest = 0, total = 0;
    const VolumeIndex::ReadFn read = [&](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
        largest = std::max(largest, count);
        total += count;
        const std::int64_t n = std::min(count, size - offset);
        auto* out = static_cast<char*>(buffer);
        std::memset(out, 0, static_cast<std::size_t>(n));
        if (offset < stored)
            std::memcpy(out, v.data() + offset, static_cast<std::size_t>(std::min(n, stored - offset)));
        return n;
    };
    const VolumeLookup missing = LookUpVolumeEntry(read, size, "b.cs");
    EXPECT_EQ(missing.status, Status::Ok) << missing.problem;
    EXPECT_FALSE(missing.found);
    EXPECT_LE(largest, 512 * 1024);
    EXPECT_LT(total, entries * 17 + 1024 * 1024); // the index once, the names hardly
    const VolumeLookup found = LookUpVolumeEntry(read, size, "A.CS");
    ASSERT_TRUE(found.status == Status::Ok && found.found) << found.problem;
    EXPECT_EQ(found.entry.name, "a.cs");
    EXPECT_EQ(v.substr(static_cast<std::size_t>(found.entry.dataOffset), 3), "aaa");
}
