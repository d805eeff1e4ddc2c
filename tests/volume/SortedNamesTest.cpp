// The kept order of a large volume's names: it finds what the scan finds,
// with a handful of reads, and an order that is stale or damaged costs a
// scan, never another file.
#include "volume/SortedNameFile.h"
#include "volume/SortedNames.h"
#include "volume/VolumeLookup.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>

using namespace tarnwick;
using Status = VolumeIndex::Status;
using Order = std::vector<std::uint32_t>;

namespace {

constexpr int kNames = 20000;

std::string NameOf(int i) { return "scripts\\dir" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".cs"; }

// A mod's volume, large enough to be worth an order, with the hard names
// among its plain ones.
const std::string& BigVolume()
{
    static const std::string v = [] {
        test::Files f;
        for (int i = 0; i < kNames; ++i)
            f.push_back({NameOf(i), std::to_string(i)});
        f.insert(f.begin() + 5000, {"Scripts\\Case.cs", "capital"});
        for (const char* n : {"scripts\\case.cs", "dup.cs", "dup.cs", "\xE9t\xE9.cs", "z", "with blank.cs"})
            f.push_back({n, std::string("data of ") + n + (f.back().first == n ? " again" : "")});
        f.push_back({std::string(300, 'L') + ".cs", "too long to sort"});
        return test::BuildVolume(f);
    }();
    return v;
}

// A read of `v` that counts the bytes it hands out.
VolumeIndex::ReadFn CountedRead(const std::string& v, std::int64_t& bytes)
{
    return [&v, &bytes](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
        const auto size = static_cast<std::int64_t>(v.size());
        if (offset < 0 || offset > size)
            return -1;
        const std::int64_t n = std::min(count, size - offset);
        std::memcpy(buffer, v.data() + offset, static_cast<std::size_t>(n));
        bytes += n;
        return n;
    };
}

// An order kept in memory the way the file keeps it: four bytes an entry.
class MemoryStore : public volume::SortedNameStore {
public:
    bool Open(const volume::DirectoryPlace&, VolumeIndex::ReadFn& order, std::int64_t& count) override
    {
        if (!kept)
            return false;
        bytes.assign(reinterpret_cast<const char*>(kept->data()), kept->size() * 4);
        count = static_cast<std::int64_t>(kept->size()) + extraCount;
        order = [this](std::int64_t offset, void* buffer, std::int64_t n) -> std::int64_t {
            n = std::max<std::int64_t>(0, std::min<std::int64_t>(n, static_cast<std::int64_t>(bytes.size()) - offset));
            std::memcpy(buffer, bytes.data() + offset, static_cast<std::size_t>(n));
            return n;
        };
        return true;
    }
    bool CanKeep(const volume::DirectoryPlace&) override { return keepable; }
    void Save(const volume::DirectoryPlace&, const Order& order) override
    {
        kept = order;
        ++saves;
    }
    std::optional<Order> kept;
    std::int64_t extraCount = 0;
    bool keepable = true;
    int saves = 0;
    std::string bytes;
};

// The real file, each order it is handed to keep counted: an order is made
// only to be kept.
class CountedFile : public volume::SortedNameStore {
public:
    explicit CountedFile(volume::SortedNameFile& file) : file_(file) {}
    bool Open(const volume::DirectoryPlace& place, VolumeIndex::ReadFn& order, std::int64_t& count) override
    {
        return file_.Open(place, order, count);
    }
    bool CanKeep(const volume::DirectoryPlace& place) override { return file_.CanKeep(place); }
    void Save(const volume::DirectoryPlace& place, const Order& order) override
    {
        ++sorts;
        file_.Save(place, order);
    }
    int sorts = 0;

private:
    volume::SortedNameFile& file_;
};

VolumeLookup Find(const std::string& v, const std::string& name, volume::SortedNameStore* store, std::int64_t* read = nullptr)
{
    std::int64_t bytes = 0;
    return LookUpVolumeEntry(CountedRead(v, read ? *read : bytes), static_cast<std::int64_t>(v.size()), name, store);
}

std::tuple<Status, bool, std::string, std::int64_t> Result(const VolumeLookup& r)
{
    return {r.status, r.found, r.entry.name, r.found ? r.entry.dataOffset : -1};
}

const std::vector<std::string> kAsked = {
    NameOf(0), NameOf(kNames / 2), NameOf(kNames - 1), "SCRIPTS\\DIR7\\FILE777.CS", "Scripts\\Case.cs",
    "scripts\\case.cs", "SCRIPTS\\CASE.CS", "dup.cs", "\xE9t\xE9.cs", "\xC9T\xC9.cs", "z", "Z", "",
    std::string(300, 'L') + ".cs", "with blank.cs", "file5.cs", "scripts\\dir1", "scripts\\dir1\\file100.cs\\",
    "missing.cs",
};

} // namespace

// The first lookup makes the order and keeps it; the later ones find by it
// what the scan finds, a few kilobytes read where the scan reads the directory.
TEST(SortedNames, FindWhatTheScanFindsInAHandfulOfReads)
{
    const std::string& v = BigVolume();
    MemoryStore store;
    EXPECT_EQ(Result(Find(v, NameOf(3), &store)), Result(Find(v, NameOf(3), nullptr)));
    ASSERT_EQ(store.saves, 1);
    EXPECT_EQ(store.kept->size(), std::size_t(kNames) + 7) << "all but the name too long to sort";
    int exact = 0;
    for (const std::string& name : kAsked) {
        std::int64_t kept = 0, scanned = 0;
        const VolumeLookup scan = Find(v, name, nullptr, &scanned);
        EXPECT_EQ(Result(Find(v, name, &store, &kept)), Result(scan)) << name;
        if (scan.found && scan.entry.name == name && name.size() <= 256) {
            ++exact;
            EXPECT_LT(kept, 4096) << name;
            EXPECT_GT(scanned, 10 * kept) << name;
        }
    }
    EXPECT_GE(exact, 9);
    EXPECT_EQ(store.saves, 1);
    const VolumeLookup dup = Find(v, "dup.cs", &store);
    EXPECT_EQ(v.substr(std::size_t(dup.entry.dataOffset), std::size_t(dup.entry.length)), "data of dup.cs");

    // No order is made where it cannot pay: a small volume is scanned at once,
    // and an order that cannot be kept would cost each run the whole directory.
    const std::string small = test::BuildVolume({{"a.cs", "a"}, {"b.cs", "b"}});
    for (const auto& [volume, name, keepable] : {std::tuple{&small, std::string("b.cs"), true}, {&v, NameOf(0), false}}) {
        MemoryStore none;
        none.keepable = keepable;
        std::int64_t read = 0;
        EXPECT_TRUE(Find(*volume, name, &none, &read).found) << name;
        EXPECT_EQ(none.saves, 0) << name;
        EXPECT_LT(read, 200 * 1024) << name << ": the whole directory was read";
    }
}

// Whatever the order says, an entry found has exactly the name asked, and
// where the name is stored once it is the entry the scan finds.
TEST(SortedNames, ADamagedOrderNeverLeadsToAnotherFile)
{
    const std::pair<const char*, std::function<void(Order&, MemoryStore&)>> damages[] = {
        {"shuffled", [](Order& o, MemoryStore&) { std::shuffle(o.begin(), o.end(), std::mt19937(7)); }},
        {"neighbours swapped",
         [](Order& o, MemoryStore&) {
             for (std::size_t i = 0; i + 1 < o.size(); i += 2)
                 std::swap(o[i], o[i + 1]);
         }},
        {"entries past the index", [](Order& o, MemoryStore&) { std::fill(o.begin(), o.end(), 0xFFFFFFFFu); }},
        {"all the first entry", [](Order& o, MemoryStore&) { std::fill(o.begin(), o.end(), 0u); }},
        {"half of it", [](Order& o, MemoryStore&) { o.resize(o.size() / 2); }},
        {"counts more than it holds", [](Order&, MemoryStore& s) { s.extraCount = 5; }},
    };
    const std::string& v = BigVolume();
    for (const auto& [what, damage] : damages) {
        MemoryStore store;
        Find(v, NameOf(1), &store);
        damage(*store.kept, store);
        for (const std::string& name : kAsked) {
            const VolumeLookup got = Find(v, name, &store);
            if (name == "dup.cs")
                EXPECT_TRUE(got.found && got.entry.name == "dup.cs") << what;
            else
                EXPECT_EQ(Result(got), Result(Find(v, name, nullptr))) << what << ": " << name;
        }
    }
}

TEST(SortedNames, TheFileIsUsedOnlyForTheVolumeAndDirectoryItWasMadeFor)
{
    test::TempDir dir;
    const std::string folder = dir / "cache/names";
    const volume::DirectoryPlace place{8, 1000, 1012, 17 * 40};
    const Order order = {3, 1, 2, 0};
    volume::SortedNameFile(folder, "/mods/base.vol", "file A").Save(place, order);
    auto opens = [&](const std::string& volume, const std::string& identity, const volume::DirectoryPlace& at) {
        volume::SortedNameFile f(folder, volume, identity);
        VolumeIndex::ReadFn read;
        std::int64_t count = -1;
        if (!f.Open(at, read, count))
            return Order{};
        Order back(static_cast<std::size_t>(count));
        EXPECT_EQ(read(0, back.data(), count * 4), count * 4);
        return back;
    };
    EXPECT_EQ(opens("/mods/base.vol", "file A", place), order);
    const struct {
        const char* what;
        std::string volume, identity;
        volume::DirectoryPlace at;
    } others[] = {
        {"another path", "/mods/Base.vol", "file A", place},
        {"another state of the file", "/mods/base.vol", "file B", place},
        {"an identity that starts alike", "/mods/base.vol", "file", place},
        {"another name block", "/mods/base.vol", "file A", {8, 999, 1012, 17 * 40}},
        {"another index", "/mods/base.vol", "file A", {8, 1000, 1012, 17 * 3}},
    };
    for (const auto& o : others)
        EXPECT_TRUE(opens(o.volume, o.identity, o.at).empty()) << o.what;

    const std::string path = volume::SortedNameFile(folder, "/mods/base.vol", "file A").Path();
    const std::string kept = test::ReadFile(path);
    const std::pair<const char*, std::string> damaged[] = {
        {"a byte short", kept.substr(0, kept.size() - 1)},
        {"a byte more", kept + '\0'},
        {"an entry more than it counts", kept + std::string(4, '\0')},
        {"another kind of file", "TWSORT01" + kept.substr(8)},
        {"empty", ""},
    };
    for (const auto& [what, bytes] : damaged) {
        test::WriteFile(path, bytes);
        EXPECT_TRUE(opens("/mods/base.vol", "file A", place).empty()) << what;
    }
    // A folder where the file goes could never be replaced: no order is made.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(volume::SortedNameFile(folder, "/mods/base.vol", "file A").CanKeep(place));
    EXPECT_TRUE(volume::SortedNameFile(folder, "/mods/other.vol", "file A").CanKeep(place));
}

// A cache that cannot take the order (a full disk, a quota spent: no file may
// grow; or a file where its folder goes) makes each run the scan it would be
// without a cache, not a sort thrown away, and leaves nothing behind.
TEST(SortedNames, ACacheThatCannotBeWrittenCostsNoSortAndLeavesNoFile)
{
    const std::string& v = BigVolume();
    const std::string name = NameOf(kNames / 2);
    const auto scanned = Result(Find(v, name, nullptr));
    const struct {
        const char* what;
        std::int64_t fileSizeLimit;
        bool fileInTheWay;
    } cases[] = {{"a disk that takes no more bytes", 0, false}, {"a file where the folder goes", -1, true}};
    for (const auto& c : cases) {
        test::TempDir dir;
        if (c.fileInTheWay)
            test::WriteFile(dir / "cache", "in the way");
        const int code = test::RunInChild([&] {
            volume::SortedNameFile file(dir / "cache/names", "/mods/base.vol", "file A");
            CountedFile store(file);
            for (int run = 0; run < 2; ++run)
                if (Result(Find(v, name, &store)) != scanned)
                    return 100;
            return store.sorts;
        }, {c.fileSizeLimit, false});
        EXPECT_EQ(code, 0) << c.what << ": the sorts made for nothing (100: another answer than the scan's)";
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
            if (!e.is_directory())
                left.push_back(e.path().filename().string());
        EXPECT_EQ(left, c.fileInTheWay ? std::vector<std::string>{"cache"} : std::vector<std::string>{}) << c.what;
    }
}
