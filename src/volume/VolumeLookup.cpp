#include "volume/VolumeLookup.h"
#include "volume/DirectoryPlace.h"
#include "volume/SortedNames.h"
#include "os/TextCase.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace tarnwick {

namespace {

using Status = VolumeIndex::Status;
using volume::kEntrySize;
using volume::U32;

// Entries read per chunk, and the most name bytes held at once.
constexpr std::int64_t kChunkEntries = 2048;
constexpr std::int64_t kWindowBytes = 64 * 1024;
// Names further apart than this are fetched by separate reads: a hostile
// index that scatters its names must not make us read the gaps between them.
constexpr std::int64_t kGapBytes = 512;

constexpr std::int64_t kNone = -1;

// The eight bytes at `p`, folded.
std::uint64_t FoldedWordAt(const unsigned char* p)
{
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return FoldWord(x);
}

std::string_view Bytes(const unsigned char* p, std::int64_t n)
{
    return std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
}

// The name block seen through one window of bytes at a time.
class NameWindow {
public:
    NameWindow(const VolumeIndex::ReadFn& read, std::int64_t namesAt, std::int64_t nameBytes, std::int64_t need)
        : read_(read), namesAt_(namesAt), nameBytes_(nameBytes),
          size_(std::max(kWindowBytes, need)), bytes_(new unsigned char[static_cast<std::size_t>(size_)])
    {
    }

    // Makes [from, to) of the name block available; the keys after the
    // current one say how far one read may usefully reach.
    bool Cover(std::int64_t from, std::int64_t to, const std::uint64_t* next, const std::uint64_t* last,
               std::int64_t need)
    {
        if (from >= begin_ && to <= end_)
            return true;
        std::int64_t end = to;
        for (; next != last; ++next) {
            const std::int64_t at = static_cast<std::int64_t>(*next >> 32);
            const std::int64_t stop = std::min(at + need, nameBytes_);
            if (stop - from > size_ || at > end + kGapBytes)
                break;
            end = std::max(end, stop);
        }
        begin_ = end_ = 0;
        if (!volume::ReadExact(read_, namesAt_ + from, bytes_.get(), end - from))
            return false;
        begin_ = from;
        end_ = end;
        return true;
    }
    const unsigned char* At(std::int64_t offset) const { return bytes_.get() + (offset - begin_); }

private:
    const VolumeIndex::ReadFn& read_;
    std::int64_t namesAt_, nameBytes_;
    std::int64_t size_;
    // Left uninitialised: only what a read fills is ever looked at, and a
    // window never touched costs no memory.
    std::unique_ptr<unsigned char[]> bytes_;
    std::int64_t begin_ = 0, end_ = 0;
};

// Volumes with fewer entries are scanned at once: the scan costs less than
// the reads of a binary search would.
constexpr std::int64_t kLeastSortedEntries = 16384;
// The most memory sorting may take (the directory read whole, and a little
// more a name); a directory larger than that is only ever scanned.
constexpr std::int64_t kMostSortBytes = 12 << 20;

// The entry the kept order leads to, kNone when there is no order, it finds
// nothing, or it cannot be trusted. A volume large enough to be worth it and
// small enough to sort gets its order made and kept here, for the next run.
std::int64_t FromSortedNames(const VolumeIndex::ReadFn& read, const volume::DirectoryPlace& place,
                             volume::SortedNameStore& store, std::string_view name, bool& unreadable)
{
    using volume::SortedFind;
    VolumeIndex::ReadFn order;
    std::int64_t count = 0;
    std::vector<std::uint32_t> made;
    if (!store.Open(place, order, count)) {
        const std::int64_t entries = place.indexBytes / kEntrySize;
        if (entries < kLeastSortedEntries || place.nameBytes + place.indexBytes + 16 * entries > kMostSortBytes ||
            !store.CanKeep(place))
            return kNone;
        std::unique_ptr<unsigned char[]> names(new unsigned char[static_cast<std::size_t>(place.nameBytes)]);
        std::unique_ptr<unsigned char[]> index(new unsigned char[static_cast<std::size_t>(place.indexBytes)]);
        if (!volume::ReadExact(read, place.namesAt, names.get(), place.nameBytes) ||
            !volume::ReadExact(read, place.indexAt, index.get(), place.indexBytes))
            return kNone; // the scan tells what cannot be read
        made = volume::SortEntriesByName(names.get(), place.nameBytes, index.get(), entries);
        store.Save(place, made);
        count = static_cast<std::int64_t>(made.size());
        order = [&made](std::int64_t offset, void* buffer, std::int64_t bytes) -> std::int64_t {
            const auto size = static_cast<std::int64_t>(made.size()) * 4;
            const std::int64_t n = std::max<std::int64_t>(0, std::min(bytes, size - offset));
            std::memcpy(buffer, reinterpret_cast<const unsigned char*>(made.data()) + offset, static_cast<std::size_t>(n));
            return n;
        };
    }
    std::int64_t j = kNone;
    switch (volume::FindInSortedNames(read, place, order, count, name, j)) {
    case SortedFind::Found: return j;
    case SortedFind::Unreadable: unreadable = true; return kNone;
    case SortedFind::Missing: return kNone;
    }
    return kNone;
}

// The name asked for, as the scan compares it.
struct WantedName {
    const unsigned char* bytes;
    std::int64_t n;     // its length
    // A name at offset `at` is compared on its n bytes plus the NUL after
    // them (a last name without its NUL ends with the block).
    std::int64_t need;
    std::uint64_t tail; // its last eight bytes folded, when it has eight
};

// The first entry, by its place in the index, whose name is the wanted bytes
// exactly, and the first whose name equals them without regard to case; each
// with its index entry's bytes, kNone while there is none.
struct Matches {
    std::array<unsigned char, kEntrySize> exactRaw{}, anyCaseRaw{};
    std::int64_t exactAt = kNone, anyCaseAt = kNone;
};

// The `k` entries of one chunk ordered by where their names stand, so that
// the name block is read forward once per chunk even when the index jumps
// about. Each key is the name's offset above the entry's place in the chunk.
void OrderByNamePlace(const unsigned char* chunk, std::int64_t k, std::int64_t s, std::int64_t n,
                      std::vector<std::uint64_t>& keys)
{
    keys.clear();
    bool ordered = true;
    for (std::int64_t j = 0; j < k; ++j) {
        const std::int64_t at = U32(chunk + j * kEntrySize + 4);
        if (at >= s || at + n > s)
            continue; // outside the block, or too near its end to hold the name
        const std::uint64_t key = (static_cast<std::uint64_t>(at) << 32) | static_cast<std::uint64_t>(j);
        ordered = ordered && (keys.empty() || keys.back() < key);
        keys.push_back(key);
    }
    if (!ordered)
        std::sort(keys.begin(), keys.end());
}

// Compares the names of one chunk's entries, in the order of `keys`, with the
// wanted one; the lowest place in the chunk of an exact match and of one
// without regard to case (looked for only while `anyCaseWanted`) land in
// `exactJ` and `anyCaseJ`. False when the name block cannot be read.
bool MatchChunk(NameWindow& names, const std::vector<std::uint64_t>& keys, std::int64_t s, const WantedName& w,
                bool anyCaseWanted, std::int64_t& exactJ, std::int64_t& anyCaseJ)
{
    // Held here rather than reached through `w` and the out-parameters, so
    // that the loop keeps them in registers across the window's reads.
    const unsigned char* const wanted = w.bytes;
    const std::int64_t n = w.n, need = w.need;
    const std::uint64_t wantedTail = w.tail;
    std::int64_t exact = kNone, anyCase = kNone;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto at = static_cast<std::int64_t>(keys[i] >> 32);
        const auto j = static_cast<std::int64_t>(keys[i] & 0xFFFFFFFFu);
        const std::int64_t end = std::min(at + need, s);
        if (!names.Cover(at, end, keys.data() + i + 1, keys.data() + keys.size(), need))
            return false;
        const unsigned char* p = names.At(at);
        // Cheap refusals first: a name of another length, then the last
        // eight bytes (where names of one folder differ most), folded.
        if (at + n != s && p[n] != 0)
            continue;
        if (n >= 8 ? FoldedWordAt(p + n - 8) != wantedTail : n > 0 && FoldCase(p[0]) != FoldCase(wanted[0]))
            continue;
        if ((exact == kNone || j < exact) && std::memcmp(p, wanted, static_cast<std::size_t>(n)) == 0)
            exact = j;
        else if (anyCaseWanted && (anyCase == kNone || j < anyCase) && EqualsNoCase(Bytes(p, n), Bytes(wanted, n)))
            anyCase = j;
    }
    exactJ = exact;
    anyCaseJ = anyCase;
    return true;
}

// Reads the index in bounded chunks, the names of each chunk compared where
// they stand, until an exact match turns up or the index ends. Why it
// stopped short; nullptr when it went through.
const char* ScanIndex(const VolumeIndex::ReadFn& read, const volume::DirectoryPlace& place, const WantedName& wanted,
                      Matches& found)
{
    const std::int64_t s = place.nameBytes;
    const std::int64_t count = place.indexBytes / kEntrySize;
    std::unique_ptr<unsigned char[]> chunkBytes(new unsigned char[static_cast<std::size_t>(kChunkEntries * kEntrySize)]);
    unsigned char* const chunk = chunkBytes.get();
    std::vector<std::uint64_t> keys;
    keys.reserve(static_cast<std::size_t>(kChunkEntries));
    NameWindow names(read, place.namesAt, s, wanted.need);

    for (std::int64_t first = 0; first < count && found.exactAt == kNone; first += kChunkEntries) {
        const std::int64_t k = std::min(kChunkEntries, count - first);
        if (!volume::ReadExact(read, place.indexAt + first * kEntrySize, chunk, k * kEntrySize))
            return "cannot read the index block";
        OrderByNamePlace(chunk, k, s, wanted.n, keys);
        std::int64_t exactJ = kNone, anyCaseJ = kNone;
        if (!MatchChunk(names, keys, s, wanted, found.anyCaseAt == kNone, exactJ, anyCaseJ))
            return "cannot read the name block";
        if (exactJ != kNone) {
            found.exactAt = first + exactJ;
            std::memcpy(found.exactRaw.data(), chunk + exactJ * kEntrySize, kEntrySize);
        }
        if (anyCaseJ != kNone) {
            found.anyCaseAt = first + anyCaseJ;
            std::memcpy(found.anyCaseRaw.data(), chunk + anyCaseJ * kEntrySize, kEntrySize);
        }
    }
    return nullptr;
}

void Refuse(VolumeLookup& out, Status s, std::string why)
{
    out.status = s;
    out.found = false;
    out.problem = std::move(why);
}

// Fills in the entry whose index bytes are `raw`: its name of `n` bytes read
// back from the block, its data located and checked against the file.
void TakeEntry(const VolumeIndex::ReadFn& read, std::int64_t fileSize, const volume::DirectoryPlace& place,
               const unsigned char* raw, std::int64_t n, VolumeLookup& out)
{
    VolumeIndex::Entry& e = out.entry;
    e.name.assign(static_cast<std::size_t>(n), '\0');
    if (n > 0 && !volume::ReadExact(read, place.namesAt + U32(raw + 4), e.name.data(), n)) {
        Refuse(out, Status::Unreadable, "cannot read the name block");
        return;
    }
    e.blockOffset = U32(raw + 8);
    e.dataOffset = e.blockOffset;
    e.length = U32(raw + 12);
    e.method = raw[16];
    if (e.blockOffset > fileSize) {
        Refuse(out, Status::Damaged, "the data of " + e.name + " lies outside the file");
        return;
    }
    VolumeIndex locator;
    if (locator.LocateData(read, fileSize, e) != Status::Ok) {
        Refuse(out, Status::Damaged, locator.Problem());
        return;
    }
    out.found = true;
}

} // namespace

VolumeLookup LookUpVolumeEntry(const VolumeIndex::ReadFn& read, std::int64_t fileSize, std::string_view name,
                               volume::SortedNameStore* sorted)
{
    VolumeLookup out;
    volume::DirectoryPlace place;
    out.status = volume::FindDirectoryPlace(read, fileSize, place, out.problem);
    if (out.status != Status::Ok)
        return out;
    auto fail = [&out](Status s, std::string why) {
        Refuse(out, s, std::move(why));
        return out;
    };

    const auto n = static_cast<std::int64_t>(name.size());
    if (n > place.nameBytes)
        return out; // no stored name can be that long
    // A stored name ends at its first NUL: one asked for with a NUL inside
    // names nothing (compared in place, it would run on into the next name).
    if (name.find('\0') != std::string_view::npos)
        return out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    const WantedName wanted{bytes, n, n + 1, n >= 8 ? FoldedWordAt(bytes + n - 8) : 0};
    Matches found;

    // The order kept from an earlier run finds an exact name by a binary
    // search; anything else (no order, no exact name, a name only matching
    // without regard to case) is left to the scan below, which is the
    // authority.
    if (sorted) {
        bool unreadable = false;
        found.exactAt = FromSortedNames(read, place, *sorted, name, unreadable);
        if (unreadable)
            return fail(Status::Unreadable, "cannot read the name block");
        if (found.exactAt != kNone &&
            !volume::ReadExact(read, place.indexAt + found.exactAt * kEntrySize, found.exactRaw.data(), kEntrySize))
            return fail(Status::Unreadable, "cannot read the index block");
    }
    if (found.exactAt == kNone) {
        if (const char* why = ScanIndex(read, place, wanted, found))
            return fail(Status::Unreadable, why);
    }
    if (found.exactAt == kNone && found.anyCaseAt == kNone)
        return out;

    TakeEntry(read, fileSize, place, found.exactAt != kNone ? found.exactRaw.data() : found.anyCaseRaw.data(), n, out);
    return out;
}

} // namespace tarnwick
