#pragma once
// Writes volumes in the game's layout (files stored as is, method 0). Used by
// `tarnvol pack` and by the tests, which build every volume they read.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

class VolumeWriter {
public:
    // `storedName` keeps backslashes as folder separators, as the game wants.
    void Add(std::string storedName, std::string data);
    // Adds a file from disk; false when it cannot be opened. Its bytes are
    // read only when the volume is written, in blocks, so packing big files
    // takes little memory.
    bool AddFile(std::string storedName, const std::string& sourcePath);

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
        std::int64_t size = 0;
    };
    using Sink = std::function<bool(const char* data, std::size_t count)>;
    bool Emit(const Sink& sink) const;
    // VBLK and the entry's bytes; a file's are read in blocks through
    // `buffer`, made on the first file and kept for the others.
    bool EmitBlock(const Entry& e, const Sink& sink, std::unique_ptr<char[]>& buffer) const;
    // VOLS with the name block, then VOLI with one entry per file.
    std::string Directory(std::int64_t namesSize, const std::vector<std::uint32_t>& blockOffsets) const;

    std::vector<Entry> entries_;
    mutable std::string failure_;
};

} // namespace tarnwick
