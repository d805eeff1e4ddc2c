#pragma once
// The whole directory of a volume: header, name block and index block, read
// leniently (volumes in the wild come from several tools) and with every
// offset and length checked against the file's size before it is used.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick {

class VolumeIndex {
public:
    enum class Status {
        Ok,
        Unreadable, // missing, not a plain file, or a read failed
        NotAVolume, // no "PVOL" signature
        Damaged,    // the directory does not fit the file
    };

    struct Entry {
        std::string name;             // as stored, backslashes between folders
        std::int64_t blockOffset = 0; // as the index gives it
        std::int64_t dataOffset = 0;  // first byte of the data itself
        std::int64_t length = 0;      // bytes of data
        std::uint8_t method = 0;      // 0 stored; 1..3 compressed
        bool located = false;         // dataOffset found and checked
    };

    // Whether Parse finds every entry's data now (one small read each) or
    // leaves it to LocateData, for callers that need only one entry.
    enum class Data { Locate, Defer };

    // Reads `count` bytes at `offset` into `buffer`; returns how many arrived
    // (short only at the end of the source), -1 on error.
    using ReadFn = std::function<std::int64_t(std::int64_t offset, void* buffer, std::int64_t count)>;

    // Parses from any random-access source of `fileSize` bytes.
    Status Parse(const ReadFn& read, std::int64_t fileSize, Data data = Data::Locate);
    // Finds where the entry's bytes start (past a block header, when there is
    // one) and checks that they lie inside the file; Damaged when they do not.
    // The entry must come from this object.
    Status LocateData(const ReadFn& read, std::int64_t fileSize, Entry& entry);
    // Parses volume bytes held in memory.
    Status ParseBuffer(const void* data, std::size_t size);
    // Opens and parses a file.
    Status ParseFile(const std::string& path, Data data = Data::Locate);

    const std::vector<Entry>& Entries() const { return entries_; }
    // The first entry whose name is exactly the bytes of `name`; when none
    // is, the first that equals it without regard to ASCII case.
    const Entry* Find(const std::string& name) const;
    Entry* Find(const std::string& name);
    // What went wrong, for messages.
    const std::string& Problem() const { return problem_; }

    static const char* MethodName(std::uint8_t method);

private:
    Status Fail(Status s, std::string why);
    std::vector<Entry> entries_;
    std::string problem_;
};

} // namespace tarnwick
