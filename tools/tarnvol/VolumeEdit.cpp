#include "VolumeEdit.h"
#include "StoredNames.h"

#include <cstdio>

namespace tarnvol {

VolumeEdit::VolumeEdit(std::string command, std::string path)
    : command_(std::move(command)), path_(std::move(path))
{
}

bool VolumeEdit::Fail(const std::string& message) const
{
    std::fprintf(stderr, "tarnvol %s: %s\n", command_.c_str(), ShownMessage(message).c_str());
    return false;
}

bool VolumeEdit::Open()
{
    // The state of the file is noted before its index is read: should it be
    // rewritten before its bytes are copied, the writer refuses it.
    source_ = writer_.AddSource(path_);
    file_ = std::make_unique<VolumeFile>();
    if (!file_->Open(command_, path_))
        return false;
    if (source_ < 0)
        return Fail("cannot open volume " + path_);
    // Thousands of entries may name one long name: each would be a copy in
    // the new volume, and one in memory until it is written. The game's
    // volumes keep a few hundred kilobytes of names, a million scripts 40 MB:
    // more is a hostile volume, refused before a copy is made.
    constexpr std::int64_t kMostNameBytes = std::int64_t(256) << 20;
    std::int64_t nameBytes = 0;
    if (!file_->ForEach([&nameBytes](StoredEntry& e) {
            nameBytes += static_cast<std::int64_t>(e.name.size()) + 1;
            return nameBytes <= kMostNameBytes;
        }))
        return false;
    if (nameBytes > kMostNameBytes)
        return Fail("the names of " + path_ + " take more than 256 MB, as no game volume's do: it is not edited");
    return true;
}

bool VolumeEdit::Refuse(const std::string& message)
{
    failed_ = true;
    return Fail(message);
}

bool VolumeEdit::Keep(StoredEntry& e)
{
    if (!file_->Locate(e))
        return Refuse("the directory of " + path_ + " is damaged: " + file_->Problem());
    entries_.push_back({std::string(e.name), e.dataOffset, e.length, e.method, {}});
    return true;
}

void VolumeEdit::Append(std::string name, std::string file)
{
    entries_.push_back({std::move(name), 0, 0, 0, std::move(file)});
}

int VolumeEdit::Write()
{
    // Closed before the new volume is moved into place: Windows cannot
    // replace a file that is open.
    file_.reset();
    for (EditEntry& e : entries_) {
        if (e.file.empty()) {
            writer_.AddRange(std::move(e.name), source_, e.offset, e.length, e.method);
        } else if (!writer_.AddFile(std::move(e.name), e.file)) {
            Fail("cannot read " + e.file);
            return 1;
        }
    }
    entries_.clear();
    if (!writer_.Write(path_)) {
        Fail(writer_.Failure());
        return 1;
    }
    return 0;
}

} // namespace tarnvol
