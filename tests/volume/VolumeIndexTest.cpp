// The lenient directory parser behind the extractor, on writer volumes
// changed on purpose; ExtractToolTest finds entries by name and locates
// the data of one only.
#include "volume/VolumeIndex.h"
#include "volume/VolumeWriter.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>


using namespace tarnwick;
using Status = VolumeIndex::Status;

namespace {

std::uint32_t Get32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

void Put32(std::string& s, std::size_t at, std::uint32_t v) { s.replace(at, 4, test::Le32(v)); }

// Where the writer put the parts of its volume: D, S, the index tag, entry i.
struct Layout {
    std::size_t d, s, voli;
    explicit Layout(const std::string& v) : d(Get32(v, 4)), s(Get32(v, d + 4)), voli(d + 9 + s) {}
    std::size_t Entry(std::size_t i) const { return voli + 8 + 17 * i; }
};

const std::vector<std::pair<std::string, std::string>> kFiles = {{"scripts\\ai\\bot.cs", "function bot() {}\n"},
                                                                  {"", ""},
                                                                  {"Skins\\LArmor.bmp", std::string("BM\0\0\x01\x02", 6)},
                                                                  {"read me.txt", "hello"}};

std::string Sample()
{
    VolumeWriter w;
    for (const auto& [name, data] : kFiles)
        w.Add(name, data);
    return w.Build();
}

struct Form {
    const char* what;
    Status status;
    void (*apply)(std::string& v, const Layout& at);
};

} // namespace

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
     [](std::string& v, const Layout& at) {
         v.erase(at.voli - 2, 1);
         Put32(v, at.d + 4, static_cast<std::uint32_t>(at.s - 1));
     }},
    {"data reaching exactly the end", Status::Ok,
     [](std::string& v, const Layout& at) {
         Put32(v, at.Entry(3) + 12, static_cast<std::uint32_t>(v.size() - Get32(v, at.Entry(3) + 8) - 8));
     }},

    {"empty", Status::NotAVolume, [](std::string& v, const Layout&) { v.clear(); }},
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
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(2) + 4, static_cast<std::uint32_t>(at.s)); }},
    {"block offset past the end", Status::Damaged,
     [](std::string& v, const Layout& at) { Put32(v, at.Entry(1) + 8, static_cast<std::uint32_t>(v.size() + 1)); }},
    {"length one byte past the end", Status::Damaged,
     [](std::string& v, const Layout& at) {
         Put32(v, at.Entry(3) + 12, static_cast<std::uint32_t>(v.size() - Get32(v, at.Entry(3) + 8) - 7));
     }},
};

class VolumeIndexForm : public ::testing::TestWithParam<Form> {};

TEST_P(VolumeIndexForm, GivesItsStatusAndOnlySoundEntries)
{
    std::string v = Sample();
    VolumeIndex index;
    ASSERT_EQ(index.ParseBuffer(v.data(), v.size()), Status::Ok);
    GetParam().apply(v, Layout(v));
    ASSERT_EQ(index.ParseBuffer(v.data(), v.size()), GetParam().status) << GetParam().what << ": " << index.Problem();
    EXPECT_EQ(index.Problem().empty(), GetParam().status == Status::Ok) << GetParam().what;
    ASSERT_EQ(index.Entries().size(), GetParam().status == Status::Ok ? kFiles.size() : 0u) << GetParam().what;
    for (std::size_t i = 0; i < index.Entries().size(); ++i) {
        const auto& e = index.Entries()[i];
        EXPECT_EQ(std::make_pair(e.name, e.method), std::make_pair(kFiles[i].first, std::uint8_t{0}));
        // The last entry's length may have grown: only its start counts.
        const std::string got = v.substr(static_cast<std::size_t>(e.dataOffset), static_cast<std::size_t>(e.length));
        EXPECT_EQ(i == 3 ? got.substr(0, kFiles[i].second.size()) : got, kFiles[i].second) << GetParam().what;
    }
}

INSTANTIATE_TEST_SUITE_P(All, VolumeIndexForm, ::testing::ValuesIn(kForms));
