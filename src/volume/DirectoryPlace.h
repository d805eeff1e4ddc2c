#pragma once
// Where a volume's name block and index block lie, read from the header with
// every value checked against the file's size. The whole-directory parse and
// the one-entry lookup both start here, so that they accept and refuse the
// same volumes with the same words.
#include "volume/VolumeIndex.h"

#include <cstdint>
#include <string>

namespace tarnwick::volume {

constexpr std::int64_t kEntrySize = 17;

struct DirectoryPlace {
    std::int64_t namesAt = 0;    // first byte of the name block
    std::int64_t nameBytes = 0;  // S
    std::int64_t indexAt = 0;    // first byte of the first index entry
    std::int64_t indexBytes = 0; // L, a whole number of entries
};

// Fills `place`, or says what is wrong in `problem`.
VolumeIndex::Status FindDirectoryPlace(const VolumeIndex::ReadFn& read, std::int64_t fileSize, DirectoryPlace& place,
                                       std::string& problem);

// Asks `read` again until `count` bytes have arrived; false when they do not.
bool ReadExact(const VolumeIndex::ReadFn& read, std::int64_t offset, void* buffer, std::int64_t count);

inline std::uint32_t U32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Tags are compared without regard to case; `tag` has four characters.
bool TagIs(const unsigned char* p, const char* tag);

} // namespace tarnwick::volume
