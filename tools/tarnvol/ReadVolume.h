#pragma once
// The volume as the commands read it. list and info go through the reader,
// as the window does, and its errors go to stderr; the commands that need
// each entry's place (list -l, cat, test, names to select) walk the index.
//
// A downloaded volume may claim an index of a gigabyte, or thousands of
// entries naming one name of a megabyte. The index is read a chunk at a time
// and never held; the name block is read once, and every entry's name is
// seen where it stands in it, never copied.
#include "volume/DirectoryPlace.h"
#include "volume/clsVOLReader.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::os {
class InputFile;
}

namespace tarnvol {

// Lists the volume; false (the reader's message on stderr, after "tarnvol
// COMMAND:") when it fails.
bool ReadVolume(const std::string& command, tarnwick::clsVOLReader& reader, const std::string& path);

// One entry of the index.
struct StoredEntry {
    std::string_view name;        // as stored, backslashes between folders; lives as the VolumeFile does
    std::int64_t blockOffset = 0; // as the index gives it
    std::int64_t dataOffset = 0;  // first byte of the data itself, once located
    std::int64_t length = 0;      // bytes of data
    std::uint8_t method = 0;      // 0 stored; 1..3 compressed
    std::int64_t number = 0;      // its place in the index, from 0
};

class VolumeFile {
public:
    VolumeFile();
    ~VolumeFile();
    // Opens the file, reads its name block and checks every entry as the
    // window's parse does; false, with "tarnvol COMMAND:" and the reason on
    // stderr, when it cannot. Each entry's data is found by Locate, so that
    // one broken entry does not hide the others.
    bool Open(const std::string& command, const std::string& path);

    // Hands every entry to `visit` in stored order, until it returns false;
    // false when the index can no longer be read (told on stderr).
    bool ForEach(const std::function<bool(StoredEntry&)>& visit);
    // The entry at `number` in the index, as ForEach hands it; false when
    // the index can no longer be read (told on stderr). Neighbours come from
    // the chunk last read.
    bool EntryAt(std::int64_t number, StoredEntry& entry);
    std::int64_t Count() const { return place_.indexBytes / tarnwick::volume::kEntrySize; }

    // Finds where the entry's bytes start and checks that they lie in the
    // file and that its block can say how long it is; false (the reason in
    // Problem) when they do not.
    bool Locate(StoredEntry& entry);
    const std::string& Problem() const { return problem_; }

    // The name block, which every name handed out lies in, and where one
    // stands in it.
    std::string_view NameBlock() const { return names_; }
    std::int64_t NameOffset(std::string_view name) const { return name.data() - names_.data(); }
    // Reads from the volume's file, as the extractor's copy reads it.
    std::int64_t Read(std::int64_t offset, void* buffer, std::int64_t count) const;

    enum class DataRead { Whole, Unreadable, Refused };
    using DataSink = std::function<bool(const char* data, std::int64_t count)>;
    // Reads `count` bytes at `offset` a block at a time, handing each to
    // `take`; Refused when `take` returns false, which ends the reading. One
    // buffer of a megabyte, made on the first call, serves every entry.
    DataRead ReadData(std::int64_t offset, std::int64_t count, const DataSink& take);
    DataRead ReadData(const StoredEntry& entry, const DataSink& take)
    {
        return ReadData(entry.dataOffset, entry.length, take);
    }

private:
    std::string_view NameAt(std::int64_t offset) const;
    std::int64_t NulFrom(std::int64_t offset) const;
    bool ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const;

    std::unique_ptr<tarnwick::os::InputFile> in_;
    std::unique_ptr<char[]> buffer_;
    std::unique_ptr<unsigned char[]> chunk_;
    std::int64_t chunkFirst_ = 0, chunkCount_ = 0; // the entries chunk_ holds
    std::int64_t size_ = 0;
    std::string command_;
    tarnwick::volume::DirectoryPlace place_;
    std::string names_;
    // For each page of the name block, where its first NUL or the next
    // page's stands: a name's end is found within a page.
    std::vector<std::uint32_t> nulFrom_;
    std::string problem_;
    std::int64_t taggedAt_ = -1; // where Locate last looked for a block header
    bool tagged_ = false;        // and whether it found one
};

// A short name for a method, for columns: stored, rle, lz, lzh (or mN).
std::string MethodColumn(std::uint8_t method);

} // namespace tarnvol
