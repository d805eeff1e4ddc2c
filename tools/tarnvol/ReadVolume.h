#pragma once
// The volume as the commands read it. list and info go through the reader,
// as the window does, and its errors go to stderr; the commands that need
// each entry's place (list -l, cat, test, names to select) read the whole
// directory, holding the file open for the entries' data.
#include "volume/VolumeIndex.h"
#include "volume/clsVOLReader.h"

#include <cstdint>
#include <functional>
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
    enum class DataRead { Whole, Unreadable, Refused };
    using DataSink = std::function<bool(const char* data, std::int64_t count)>;
    // Reads the bytes of a located entry a block at a time, handing each to
    // `take`; Refused when `take` returns false, which ends the reading. One
    // buffer of a megabyte, made on the first call, serves every entry.
    DataRead ReadData(const tarnwick::VolumeIndex::Entry& entry, const DataSink& take);

private:
    std::unique_ptr<tarnwick::os::InputFile> in_;
    std::unique_ptr<char[]> buffer_;
    std::int64_t size_ = 0;
    tarnwick::VolumeIndex index_;
};

// A short name for a method, for columns: stored, rle, lz, lzh (or mN).
std::string MethodColumn(std::uint8_t method);

} // namespace tarnvol
