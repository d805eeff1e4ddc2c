#include "ReadVolume.h"
#include "StoredNames.h"

#include "os/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tarnvol {

using tarnwick::VolumeIndex;
using tarnwick::volume::kEntrySize;
using tarnwick::volume::U32;

namespace {

// Entries read at a time: 34 KB of index.
constexpr std::int64_t kChunkEntries = 2048;
constexpr std::int64_t kPage = 4096;
// A block header keeps the length of its data in 24 bits.
constexpr std::int64_t kMostBlockBytes = 0xFFFFFF;

StoredEntry FromIndex(const unsigned char* e)
{
    StoredEntry out;
    out.blockOffset = U32(e + 8);
    out.dataOffset = out.blockOffset;
    out.length = U32(e + 12);
    out.method = e[16];
    return out;
}

} // namespace

bool ReadVolume(const std::string& command, tarnwick::clsVOLReader& reader, const std::string& path)
{
    // The reader speaks for the window, which has no command to name.
    reader.Error = [&command](std::int16_t, const std::string& message) {
        std::fprintf(stderr, "tarnvol %s: %s\n", command.c_str(), ShownMessage(message).c_str());
    };
    // A successful listing is never empty: every name ends with "/".
    return !reader.GetFileNames(path).empty();
}

VolumeFile::VolumeFile() = default;
VolumeFile::~VolumeFile() = default;

bool VolumeFile::ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const
{
    const auto read = [this](std::int64_t at, void* into, std::int64_t n) { return in_->ReadAt(at, into, n); };
    return count == 0 || tarnwick::volume::ReadExact(read, offset, buffer, count);
}

bool VolumeFile::Open(const std::string& command, const std::string& path)
{
    command_ = command;
    auto fail = [&](const std::string& message) {
        std::fprintf(stderr, "tarnvol %s: %s\n", command.c_str(), ShownMessage(message).c_str());
        return false;
    };
    if (!tarnwick::os::IsPlainFile(path))
        return fail("cannot read volume " + path + ": not found or not a plain file");
    in_ = std::make_unique<tarnwick::os::InputFile>(path);
    const auto size = in_->Size();
    if (!in_->IsOpen() || !size)
        return fail("cannot open volume " + path);
    size_ = *size;
    const auto read = [this](std::int64_t offset, void* buffer, std::int64_t count) {
        return in_->ReadAt(offset, buffer, count);
    };
    // The words of the window's parse, so that both refuse a volume alike.
    const auto refuse = [&](VolumeIndex::Status s, const std::string& why) {
        if (s == VolumeIndex::Status::Unreadable)
            return fail("cannot read volume " + path + ": " + why);
        if (s == VolumeIndex::Status::NotAVolume)
            return fail(path + " is not a volume: " + why);
        return fail("the directory of " + path + " is damaged: " + why);
    };
    std::string why;
    if (const auto s = tarnwick::volume::FindDirectoryPlace(read, size_, place_, why); s != VolumeIndex::Status::Ok)
        return refuse(s, why);
    // The block lies inside the file, whose size bounds what it costs.
    names_.assign(static_cast<std::size_t>(place_.nameBytes), '\0');
    if (!ReadAt(place_.namesAt, names_.data(), place_.nameBytes))
        return refuse(VolumeIndex::Status::Unreadable, "cannot read the name block");
    const std::int64_t pages = (place_.nameBytes + kPage - 1) / kPage;
    nulFrom_.assign(static_cast<std::size_t>(pages), 0);
    auto next = static_cast<std::uint32_t>(place_.nameBytes);
    for (std::int64_t p = pages - 1; p >= 0; --p) {
        const std::int64_t from = p * kPage, to = std::min(from + kPage, place_.nameBytes);
        if (const void* nul = std::memchr(names_.data() + from, 0, static_cast<std::size_t>(to - from)))
            next = static_cast<std::uint32_t>(static_cast<const char*>(nul) - names_.data());
        nulFrom_[static_cast<std::size_t>(p)] = next;
    }

    std::int64_t number = 0;
    bool damaged = false;
    const bool walked = ForEach([&](StoredEntry& e) {
        if (e.name.data() == nullptr) {
            why = "entry " + std::to_string(number) + " names a place outside the name block";
            damaged = true;
        } else if (e.blockOffset > size_) {
            why = "the data of " + std::string(e.name) + " lies outside the file";
            damaged = true;
        }
        ++number;
        return !damaged;
    });
    if (!walked)
        return false;
    return damaged ? refuse(VolumeIndex::Status::Damaged, why) : true;
}

std::int64_t VolumeFile::NulFrom(std::int64_t offset) const
{
    const std::int64_t page = offset / kPage;
    const std::int64_t to = std::min((page + 1) * kPage, place_.nameBytes);
    if (const void* nul = std::memchr(names_.data() + offset, 0, static_cast<std::size_t>(to - offset)))
        return static_cast<const char*>(nul) - names_.data();
    return page + 1 < static_cast<std::int64_t>(nulFrom_.size()) ? nulFrom_[static_cast<std::size_t>(page + 1)]
                                                                  : place_.nameBytes;
}

std::string_view VolumeFile::NameAt(std::int64_t offset) const
{
    if (offset >= place_.nameBytes)
        return {};
    // A name without its closing NUL ends with the block.
    return std::string_view(names_.data() + offset, static_cast<std::size_t>(NulFrom(offset) - offset));
}

std::int64_t VolumeFile::Read(std::int64_t offset, void* buffer, std::int64_t count) const
{
    return in_->ReadAt(offset, buffer, count);
}

bool VolumeFile::EntryAt(std::int64_t number, StoredEntry& entry)
{
    if (number < chunkFirst_ || number >= chunkFirst_ + chunkCount_) {
        if (!chunk_)
            chunk_.reset(new unsigned char[static_cast<std::size_t>(kChunkEntries * kEntrySize)]);
        chunkFirst_ = number - number % kChunkEntries;
        chunkCount_ = std::min(kChunkEntries, Count() - chunkFirst_);
        if (chunkCount_ <= 0 || !ReadAt(place_.indexAt + chunkFirst_ * kEntrySize, chunk_.get(), chunkCount_ * kEntrySize)) {
            chunkCount_ = 0;
            std::fprintf(stderr, "tarnvol %s: cannot read the index block\n", command_.c_str());
            return false;
        }
    }
    const unsigned char* e = chunk_.get() + (number - chunkFirst_) * kEntrySize;
    entry = FromIndex(e);
    entry.number = number;
    entry.name = NameAt(U32(e + 4)); // no data at all when outside the block
    return true;
}

bool VolumeFile::ForEach(const std::function<bool(StoredEntry&)>& visit)
{
    const std::int64_t count = Count();
    StoredEntry entry;
    for (std::int64_t number = 0; number < count; ++number) {
        if (!EntryAt(number, entry))
            return false;
        if (!visit(entry))
            return true;
    }
    return true;
}

bool VolumeFile::Locate(StoredEntry& entry)
{
    std::int64_t at = entry.blockOffset;
    if (at < 0 || at > size_) {
        problem_ = "the data of " + std::string(entry.name) + " lies outside the file";
        return false;
    }
    // A block header, when there is one, precedes the bytes; an offset that
    // points straight at the data has none.
    // Entries that share one block ask the same question: the last answer
    // is kept.
    if (at != taggedAt_) {
        unsigned char tag[4];
        tagged_ = at + 8 <= size_ && ReadAt(at, tag, 4) && tarnwick::volume::TagIs(tag, "vblk");
        taggedAt_ = at;
    }
    const bool header = tagged_;
    if (header)
        at += 8;
    // The game reads as many bytes as the header says: one that cannot say
    // the index's length hands back another file than the index describes.
    if (header && entry.length > kMostBlockBytes) {
        problem_ = "the data of " + std::string(entry.name) + " is " + std::to_string(entry.length) +
                   " bytes, more than its block header can hold (" + std::to_string(kMostBlockBytes) + ")";
        return false;
    }
    if (entry.length > size_ - at) {
        problem_ = "the data of " + std::string(entry.name) + " runs past the end of the file";
        return false;
    }
    entry.dataOffset = at;
    return true;
}

VolumeFile::DataRead VolumeFile::ReadData(std::int64_t offset, std::int64_t count, const DataSink& take)
{
    constexpr std::int64_t kBlock = 1 << 20;
    if (!buffer_)
        buffer_.reset(new char[kBlock]);
    for (std::int64_t done = 0; done < count;) {
        const std::int64_t want = std::min(kBlock, count - done);
        const std::int64_t got = in_->ReadAt(offset + done, buffer_.get(), want);
        if (got <= 0)
            return DataRead::Unreadable;
        if (!take(buffer_.get(), got))
            return DataRead::Refused;
        done += got;
    }
    return DataRead::Whole;
}

std::string MethodColumn(std::uint8_t method)
{
    switch (method) {
    case 0: return "stored";
    case 1: return "rle";
    case 2: return "lz";
    case 3: return "lzh";
    default: return "m" + std::to_string(method);
    }
}

} // namespace tarnvol
