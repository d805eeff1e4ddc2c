#pragma once
// What add and delete share: the entries the edited volume is made of, in
// their order, and the new volume written in the old one's place. An entry
// the edit leaves alone keeps its bytes and its method, copied from the old
// volume as they stand, a block at a time; the old volume is replaced only
// once the new one is whole, by a rename, so that a run killed at any moment
// leaves one or the other under the volume's name.
#include "ReadVolume.h"

#include "volume/VolumeWriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnvol {

struct EditEntry {
    std::string name;       // as stored
    std::int64_t offset = 0; // of its data in the old volume
    std::int64_t length = 0;
    std::uint8_t method = 0;
    std::string file; // not empty: the file on disk whose bytes the entry now holds
};

class VolumeEdit {
public:
    VolumeEdit(std::string command, std::string path);

    // Opens the volume to edit; false (told on stderr) when it cannot be
    // read or its directory is damaged.
    bool Open();
    VolumeFile& File() { return *file_; }
    // Takes an entry of the old volume into the new one, in turn; false
    // (told) when its data does not lie in the file, or the names would no
    // longer fit a volume.
    bool Keep(StoredEntry& e);
    // A file on disk stored under `name` after the entries there are.
    void Append(std::string name, std::string file);
    // Whether Keep has refused an entry.
    bool Failed() const { return failed_; }
    std::vector<EditEntry>& Entries() { return entries_; }

    // Writes the entries in the volume's place; the exit status. Told on
    // stderr when it fails; the old volume then stands as it was.
    int Write();

private:
    bool Fail(const std::string& message) const;
    bool Refuse(const std::string& message); // Fail, and Keep has failed

    std::string command_, path_;
    tarnwick::VolumeWriter writer_;
    int source_ = -1;
    std::unique_ptr<VolumeFile> file_;
    std::vector<EditEntry> entries_;
    bool failed_ = false;
};

} // namespace tarnvol
