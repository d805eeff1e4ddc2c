#pragma once
// Writes volumes in the game's layout (files stored as is, method 0). Used by
// `tarnvol pack` and by the tests, which build every volume they read.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

class VolumeWriter {
public:
    // `storedName` keeps backslashes as folder separators, as the game wants.
    void Add(std::string storedName, std::string data);
    // Adds a file from disk; false when it cannot be read.
    bool AddFile(std::string storedName, const std::string& sourcePath);

    // The whole volume as bytes.
    std::string Build() const;
    // Writes it atomically; false on any failure.
    bool Write(const std::string& path) const;

    std::size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        std::string name;
        std::string data;
    };
    std::vector<Entry> entries_;
};

} // namespace tarnwick
