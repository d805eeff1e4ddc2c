#pragma once
// One entry of a volume, found without building the directory: the index is
// read in bounded chunks and each entry's name is compared where it stands
// in the name block. Memory stays a few hundred kilobytes whatever the
// volume claims to hold, so a hostile index of a gigabyte costs the
// extractor time to read it, not a copy of it.
#include "volume/VolumeIndex.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

namespace volume {
class SortedNameStore;
}

struct VolumeLookup {
    VolumeIndex::Status status = VolumeIndex::Status::Ok;
    bool found = false;        // only meaningful when status is Ok
    VolumeIndex::Entry entry;  // when found: its data located and checked
    std::string problem;       // what went wrong, for messages
};

// Finds the entry whose stored name is exactly the bytes of `name`; when
// none is, the first whose name equals it without regard to ASCII case (the
// game's own lookups ignore case). Bytes above 0x7F are compared as they
// are. The volume is refused with the same status and words as
// VolumeIndex::Parse would refuse it; of the entries only the one returned
// is held to VolumeIndex's checks, so one broken entry does not hide the
// others.
// With `sorted`, an order of the names kept from an earlier run finds an
// exact name without the scan, and a large volume without one gets one.
VolumeLookup LookUpVolumeEntry(const VolumeIndex::ReadFn& read, std::int64_t fileSize, std::string_view name,
                               volume::SortedNameStore* sorted = nullptr);

} // namespace tarnwick
