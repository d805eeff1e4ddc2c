#include "volume/DirectoryPlace.h"
#include "os/TextCase.h"

#include <algorithm>

namespace tarnwick::volume {

bool TagIs(const unsigned char* p, const char* tag)
{
    return EqualsNoCase(std::string_view(reinterpret_cast<const char*>(p), 4), std::string_view(tag, 4));
}

bool ReadExact(const VolumeIndex::ReadFn& read, std::int64_t offset, void* buffer, std::int64_t count)
{
    std::int64_t done = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    while (done < count) {
        std::int64_t got = read(offset + done, out + done, count - done);
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

VolumeIndex::Status FindDirectoryPlace(const VolumeIndex::ReadFn& read, std::int64_t fileSize, DirectoryPlace& place,
                                       std::string& problem)
{
    using Status = VolumeIndex::Status;
    auto fail = [&problem](Status s, const char* why) {
        problem = why;
        return s;
    };
    unsigned char head[8];
    if (fileSize < 4)
        return fail(Status::NotAVolume, "too short to be a volume");
    if (!ReadExact(read, 0, head, std::min<std::int64_t>(fileSize, 8)))
        return fail(Status::Unreadable, "cannot read the header");
    if (!TagIs(head, "pvol"))
        return fail(Status::NotAVolume, "no PVOL signature");
    if (fileSize < 8)
        return fail(Status::Damaged, "the header is cut short");

    const std::int64_t d = U32(head + 4);
    if (d < 8 || d + 8 > fileSize)
        return fail(Status::Damaged, "the directory offset lies outside the file");
    unsigned char vols[8];
    if (!ReadExact(read, d, vols, 8))
        return fail(Status::Unreadable, "cannot read the name block header");
    if (!TagIs(vols, "vols"))
        return fail(Status::Damaged, "no name block at the directory offset");
    const std::int64_t s = U32(vols + 4);
    const std::int64_t namesAt = d + 8;
    if (s > fileSize - namesAt)
        return fail(Status::Damaged, "the name block runs past the end of the file");

    // The index tag stands 0 to 3 pad bytes after the names; what lies past
    // the file's end simply is not there.
    unsigned char tail[3 + 8];
    const std::int64_t tailBytes = std::min<std::int64_t>(fileSize - namesAt - s, sizeof tail);
    if (tailBytes > 0 && !ReadExact(read, namesAt + s, tail, tailBytes))
        return fail(Status::Unreadable, "cannot read the name block");
    std::int64_t voliAt = -1;
    for (std::int64_t pad = 0; pad <= 3 && pad + 8 <= tailBytes; ++pad)
        if (TagIs(tail + pad, "voli")) {
            voliAt = pad;
            break;
        }
    if (voliAt < 0)
        return fail(Status::Damaged, "no index block after the name block");
    const std::int64_t l = U32(tail + voliAt + 4);
    const std::int64_t indexAt = namesAt + s + voliAt + 8;
    if (l > fileSize - indexAt)
        return fail(Status::Damaged, "the index block runs past the end of the file");
    if (l % kEntrySize != 0)
        return fail(Status::Damaged, "the index block length is not a whole number of entries");
    place = {namesAt, s, indexAt, l};
    return Status::Ok;
}

} // namespace tarnwick::volume
