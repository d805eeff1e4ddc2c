#pragma once
// One stored file out of a volume onto the disk: the lookup and the copy the
// extractor makes, as a library, so that tarnvol writes a whole volume's
// files in one process by the very same steps. Each step answers with the
// extractor's exit code and its words, so that both tell a failure alike.
#include "volume/VolumeIndex.h"
#include "volume/VolumeLookup.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

namespace volume {
class SortedNameStore;
}

// The extractor's exit codes.
enum class CopyStatus {
    Ok = 0,
    Usage = 2,
    VolumeUnreadable = 3,
    NotAVolume = 4,
    Damaged = 5,
    NameMissing = 6,
    UnsupportedMethod = 7,
    OutputNotWritable = 8,
};

struct CopyResult {
    CopyStatus status = CopyStatus::Ok;
    std::string message; // what went wrong, without the program's name
    bool Ok() const { return status == CopyStatus::Ok; }
};

// Finds NAME in the volume as the extractor does: the exact bytes first,
// then the first name equal to it without regard to ASCII case; failing
// both, a NAME with / between its folders is looked for with \ in their
// place, as a listing may show it. A compressed entry is refused.
CopyResult FindStoredFile(const VolumeIndex::ReadFn& read, std::int64_t fileSize, const std::string& volume,
                          std::string_view name, volume::SortedNameStore* sorted, VolumeIndex::Entry& entry);

// The refusal of an entry stored with a method the copy cannot undo (one of
// the game's compressions); Ok for method 0.
CopyResult CheckMethod(std::string_view name, std::uint8_t method);

// Writes `length` bytes from `dataOffset` of the volume to OUTPUT: a file
// appears whole or not at all (a temporary file renamed over it); a FIFO or
// a character device is written where it stands; "-" is standard output.
// On Windows an OUTPUT the disk cannot hold as given is refused, as is the
// volume itself and a folder.
CopyResult CopyStoredFile(const VolumeIndex::ReadFn& read, const std::string& volume, std::int64_t dataOffset,
                          std::int64_t length, const std::string& name, const std::string& output);

} // namespace tarnwick
