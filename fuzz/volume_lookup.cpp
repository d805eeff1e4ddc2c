// The extractor's in-place lookup of one entry on arbitrary bytes and an
// arbitrary wanted name. The input's first byte tells how long the name is;
// the name's bytes follow, the volume is the rest. Beyond not crashing: an
// entry it returns lies inside the file and matches the name, and wherever
// the whole directory parse accepts the volume, both pick the same entry
// (or both none) and report the same trouble with its data.
#include "volume/VolumeIndex.h"
#include "volume/SortedNames.h"
#include "volume/VolumeLookup.h"

#include "os/PathStyle.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// An order of names as a file may keep it, here any bytes at all: the
// volume's own bytes read as entry numbers.
class BytesAsOrder : public tarnwick::volume::SortedNameStore {
public:
    BytesAsOrder(const std::uint8_t* bytes, std::int64_t size) : bytes_(bytes), size_(size) {}
    bool Open(const tarnwick::volume::DirectoryPlace&, tarnwick::VolumeIndex::ReadFn& order, std::int64_t& count) override
    {
        count = size_ / 4;
        order = [this](std::int64_t offset, void* buffer, std::int64_t n) -> std::int64_t {
            n = std::max<std::int64_t>(0, std::min(n, size_ - offset));
            std::memcpy(buffer, bytes_ + offset, static_cast<std::size_t>(n));
            return n;
        };
        return true;
    }
    bool CanKeep(const tarnwick::volume::DirectoryPlace&) override { return false; }
    void Save(const tarnwick::volume::DirectoryPlace&, const std::vector<std::uint32_t>&) override {}

private:
    const std::uint8_t* bytes_;
    std::int64_t size_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using tarnwick::VolumeIndex;
    if (size == 0)
        return 0;
    const std::size_t nameLength = std::min<std::size_t>(data[0], size - 1);
    const std::string name(reinterpret_cast<const char*>(data + 1), nameLength);
    const std::uint8_t* volume = data + 1 + nameLength;
    const auto fileSize = static_cast<std::int64_t>(size - 1 - nameLength);
    // A source that hands out at most a few bytes a call when the name's
    // length is odd, as a pipe or a slow disk may.
    const std::int64_t most = nameLength % 2 ? 5 : fileSize + 1;
    const VolumeIndex::ReadFn read = [&](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
        if (offset < 0 || count < 0)
            Fail("a read at a negative offset or of a negative count");
        if (offset >= fileSize)
            return 0;
        const std::int64_t n = std::min<std::int64_t>({count, most, fileSize - offset});
        std::memcpy(buffer, volume + offset, static_cast<std::size_t>(n));
        return n;
    };

    const tarnwick::VolumeLookup got = tarnwick::LookUpVolumeEntry(read, fileSize, name);
    if (got.status != VolumeIndex::Status::Ok && got.problem.empty())
        Fail("a refusal without a reason");
    if (got.status == VolumeIndex::Status::Ok && got.found) {
        const auto& e = got.entry;
        if (e.dataOffset < 0 || e.length < 0 || e.dataOffset > fileSize || e.length > fileSize - e.dataOffset)
            Fail("the entry found reaches outside the file");
        if (!tarnwick::EqualsNoCase(e.name, name))
            Fail("the entry found has another name");
    }

    // Whatever order is kept, the answer is the scan's, except that of twins
    // stored with exactly the name asked it may pick another (and so judge
    // that one's data).
    BytesAsOrder order(volume, fileSize);
    const tarnwick::VolumeLookup guided = tarnwick::LookUpVolumeEntry(read, fileSize, name, &order);
    const bool same = guided.status == got.status && guided.found == got.found &&
                      (!got.found || guided.entry.name == got.entry.name);
    if (!same && !(guided.entry.name == name && got.entry.name == name))
        Fail("a kept order changes what the lookup finds");

    VolumeIndex whole;
    const VolumeIndex::Status parsed = whole.Parse(read, fileSize, VolumeIndex::Data::Defer);
    if (parsed != VolumeIndex::Status::Ok) {
        // Refused before any entry was read: the lookup refuses alike.
        if (whole.Problem().rfind("entry ", 0) != 0 && whole.Problem().rfind("the data of ", 0) != 0 &&
            whole.Problem() != "cannot read the index block" &&
            (got.status != parsed || got.problem != whole.Problem()))
            Fail("the lookup and the whole parse refuse the header differently");
        return 0;
    }
    VolumeIndex::Entry* expected = whole.Find(name);
    if (!expected) {
        if (got.status != VolumeIndex::Status::Ok || got.found)
            Fail("the lookup finds what the whole parse does not");
        return 0;
    }
    const VolumeIndex::Status located = whole.LocateData(read, fileSize, *expected);
    if (located != VolumeIndex::Status::Ok) {
        if (got.status != located || got.problem != whole.Problem())
            Fail("the lookup and the whole parse judge the entry's data differently");
        return 0;
    }
    if (got.status != VolumeIndex::Status::Ok || !got.found)
        Fail("the lookup misses what the whole parse finds");
    if (got.entry.name != expected->name || got.entry.dataOffset != expected->dataOffset ||
        got.entry.length != expected->length || got.entry.method != expected->method ||
        got.entry.blockOffset != expected->blockOffset)
        Fail("the lookup and the whole parse pick different entries");
    return 0;
}
