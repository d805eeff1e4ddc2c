#pragma once
// Writes volumes in the game's layout. Used by `tarnvol pack`, `add` and
// `delete`, and by the tests, which build every volume they read. New files
// are stored as is (method 0); the entries an edited volume keeps are copied
// from the earlier volume with the method they had.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

namespace os {
class InputFile;
}

class VolumeWriter {
public:
    // `storedName` keeps backslashes as folder separators, as the game wants.
    void Add(std::string storedName, std::string data);
    // Adds a file from disk; false when it cannot be opened. Its bytes are
    // read only when the volume is written, in blocks, so packing big files
    // takes little memory.
    bool AddFile(std::string storedName, const std::string& sourcePath);
    // Opens a file that entries take their bytes from (the volume being
    // edited) and notes which state of it was seen; its number for AddRange,
    // -1 when it cannot be opened. When the volume is written the file must
    // still be in that state: bytes copied from a file rewritten meanwhile
    // would not be the entries its index described.
    int AddSource(const std::string& sourcePath);
    // An entry whose `size` bytes lie at `offset` in the source, copied as
    // they stand (compressed ones too: `method` goes into the index).
    void AddRange(std::string storedName, int source, std::int64_t offset, std::int64_t size, std::uint8_t method);

    // The whole volume as bytes; empty when it cannot be made (see Failure).
    std::string Build() const;
    // Writes it atomically; false on any failure.
    bool Write(const std::string& path) const;

    std::size_t Count() const { return entries_.size(); }
    // Why the last Build or Write failed, for a message.
    const std::string& Failure() const { return failure_; }

    // Every offset of a volume is a signed 32-bit value.
    static constexpr std::int64_t kMaxVolumeSize = 0x7FFFFFFF;
    // A block's header keeps the length of its data in 24 bits.
    static constexpr std::int64_t kMaxFileSize = 0xFFFFFF;

private:
    struct Entry {
        std::string name;
        std::string data;       // when added from memory
        std::string sourcePath; // when added from disk
        int source = -1;        // when copied from a range of a source
        std::int64_t offset = 0;
        std::int64_t size = 0;
        std::uint8_t method = 0;
    };
    struct Source {
        std::string path;
        std::string identity; // the state of the file its entries were read from
    };
    using Sink = std::function<bool(const char* data, std::size_t count)>;
    bool Emit(const Sink& sink) const;
    // VBLK and the entry's bytes; a file's are read in blocks through
    // `buffer`, made on the first file and kept for the others.
    bool EmitBlock(const Entry& e, const Sink& sink, std::unique_ptr<char[]>& buffer,
                   std::vector<std::unique_ptr<os::InputFile>>& sources) const;
    // Copies `count` bytes at `offset` of `in` to the sink.
    bool Copy(const os::InputFile& in, const std::string& path, std::int64_t offset, std::int64_t count,
              const Sink& sink, std::unique_ptr<char[]>& buffer) const;
    // VOLS with the name block, then VOLI with one entry per file.
    std::string Directory(std::int64_t namesSize, const std::vector<std::uint32_t>& blockOffsets) const;

    std::vector<Entry> entries_;
    std::vector<Source> sources_;
    mutable std::string failure_;
};

} // namespace tarnwick
