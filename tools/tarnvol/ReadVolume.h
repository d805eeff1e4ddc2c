#pragma once
// The volume as the commands read it. list and info go through the reader,
// as the window does, and its errors go to stderr; the commands that need
// each entry's place (list -l, cat, test, names to select) read the whole
// directory, holding the file open for the entries' data.
#include "volume/VolumeIndex.h"
#include "volume/clsVOLReader.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tarnwick::os {
class InputFile;
}

namespace tarnvol {

// Lists the volume; false (the reader's message on stderr) when it fails.
bool ReadVolume(tarnwick::clsVOLReader& reader, const std::string& path);

class VolumeFile {
public:
    VolumeFile();
    ~VolumeFile();
    // Opens the file and reads its directory; false, with "tarnvol COMMAND:"
    // and the reason on stderr, when it cannot. Each entry's data is found
    // by Locate, so that one broken entry does not hide the others.
    bool Open(const std::string& command, const std::string& path);

    tarnwick::VolumeIndex& Index() { return index_; }
    // Finds where the entry's bytes start and checks that they lie in the
    // file; false (the reason in Problem) when they do not.
    bool Locate(tarnwick::VolumeIndex::Entry& entry);
    const std::string& Problem() const { return index_.Problem(); }
    // As os::InputFile::ReadAt.
    std::int64_t ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const;

private:
    std::unique_ptr<tarnwick::os::InputFile> in_;
    std::int64_t size_ = 0;
    tarnwick::VolumeIndex index_;
};

// A short name for a method, for columns: stored, rle, lz, lzh (or mN).
std::string MethodColumn(std::uint8_t method);

} // namespace tarnvol
