#pragma once
// A volume's entries in the order of their names' bytes, kept outside the
// volume so that finding one name takes a binary search instead of a pass
// over the whole directory: the extractor runs once a file, so on a volume of
// 100,000 names that pass would be made 100,000 times.
//
// The order is a hint and nothing more. Every entry it leads to is read back
// from the volume and its name compared there; a name it does not lead to is
// looked for by the full scan. An order made for another state of the volume
// is never opened (SortedNameFile); one damaged on purpose can cost time, or
// pick another copy of a name stored more than once, never a file of another
// name.
#include "volume/DirectoryPlace.h"
#include "volume/VolumeIndex.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarnwick::volume {

// Names longer than this are left out of the order: no file name a user
// picks is that long, and leaving them out bounds what sorting a hostile
// directory of long, alike names can cost.
constexpr std::int64_t kMostSortedNameBytes = 256;

// The entries of a directory held in memory (`names` the name block of `s`
// bytes, `index` its `count` entries), by their names' bytes and, among
// equal names, by their place in the index. Entries whose name lies outside
// the block or is longer than kMostSortedNameBytes are left out.
std::vector<std::uint32_t> SortEntriesByName(const unsigned char* names, std::int64_t s, const unsigned char* index,
                                             std::int64_t count);

// Where to keep the orders of volumes between runs.
class SortedNameStore {
public:
    virtual ~SortedNameStore() = default;
    // The order kept for this volume, when one is kept and was made for the
    // directory at `place`: a reader of its entries (four bytes each, little
    // end first) and how many there are.
    virtual bool Open(const DirectoryPlace& place, VolumeIndex::ReadFn& order, std::int64_t& count) = 0;
    // Whether an order for the directory at `place` could be kept, asked
    // before one is made: making one that cannot be kept would cost every
    // run the sort instead of saving it the scan. A store may start keeping
    // it here, so that a disk that takes nothing more is found out before
    // the sort rather than after it.
    virtual bool CanKeep(const DirectoryPlace& place) = 0;
    // Keeps the order for later runs; failing to is no error.
    virtual void Save(const DirectoryPlace& place, const std::vector<std::uint32_t>& order) = 0;
};

enum class SortedFind { Found, Missing, Unreadable };

// The first entry in the order whose name is exactly `name`, by a binary
// search that reads the order, the entries and their names where they
// stand; its index in `entry`. Missing also when the order leads astray (an
// entry number past the index, names out of order), so that the caller
// scans instead. Unreadable when the volume itself cannot be read.
SortedFind FindInSortedNames(const VolumeIndex::ReadFn& read, const DirectoryPlace& place,
                             const VolumeIndex::ReadFn& order, std::int64_t count, std::string_view name,
                             std::int64_t& entry);

} // namespace tarnwick::volume
