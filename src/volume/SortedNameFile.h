#pragma once
// The sorted order of one volume's names kept in a file of its own, in a
// folder of the user's cache. The file says which volume it was made for (its
// full path and the identity of the file, InputFile::Identity) and for which
// directory; any difference, or a file of the wrong length, and it is not
// used. Even a file that passes those checks only guides a search whose every
// answer is checked against the volume itself (SortedNames.h).
#include "volume/SortedNames.h"

#include "os/Files.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick::volume {

class SortedNameFile final : public SortedNameStore {
public:
    // `folder` is created when the first order is kept; `volume` is the
    // volume's full path, `identity` what its file is now.
    SortedNameFile(std::string folder, std::string volume, std::string identity);

    bool Open(const DirectoryPlace& place, VolumeIndex::ReadFn& order, std::int64_t& count) override;
    // Starts the file, its header written, so that a disk that refuses it
    // is known before the sort; Save finishes it.
    bool CanKeep(const DirectoryPlace& place) override;
    void Save(const DirectoryPlace& place, const std::vector<std::uint32_t>& order) override;

    // The file this volume's order is kept in.
    const std::string& Path() const { return path_; }

private:
    std::string Header(const DirectoryPlace& place) const;

    std::string folder_, volume_, identity_, path_;
    std::unique_ptr<os::InputFile> file_;
    // The file CanKeep started, and the header it holds so far.
    std::unique_ptr<os::AtomicOutputFile> out_;
    std::string started_;
};

} // namespace tarnwick::volume
