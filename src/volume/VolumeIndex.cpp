#include "volume/VolumeIndex.h"
#include "volume/DirectoryPlace.h"
#include "os/TextCase.h"
#include "os/Files.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

using volume::ReadExact;
using volume::TagIs;
using volume::U32;
using volume::kEntrySize;

VolumeIndex::Status VolumeIndex::Fail(Status s, std::string why)
{
    entries_.clear();
    problem_ = std::move(why);
    return s;
}

const char* VolumeIndex::MethodName(std::uint8_t method)
{
    switch (method) {
    case 0: return "stored";
    case 1: return "run-length";
    case 2: return "LZ";
    case 3: return "LZ with Huffman coding";
    default: return "unknown";
    }
}

namespace {

// `count` bytes at `at`, read into `block`; false when they cannot be read.
bool ReadBlock(const VolumeIndex::ReadFn& read, std::int64_t at, std::int64_t count, std::string& block)
{
    block.assign(static_cast<std::size_t>(count), '\0');
    return count == 0 || ReadExact(read, at, block.data(), count);
}

// The entry of the index block at `e`, its name taken from `names`; what is
// wrong with it in `why` when it does not fit the name block or the file.
bool ReadEntry(const unsigned char* e, std::string_view names, std::int64_t fileSize, std::int64_t number,
               VolumeIndex::Entry& out, std::string& why)
{
    const auto s = static_cast<std::int64_t>(names.size());
    const std::int64_t nameOff = U32(e + 4);
    if (nameOff >= s) {
        why = "entry " + std::to_string(number) + " names a place outside the name block";
        return false;
    }
    // A name without its closing NUL ends with the block.
    const auto from = static_cast<std::size_t>(nameOff);
    const std::size_t nul = names.find('\0', from);
    out.name = names.substr(from, nul == std::string_view::npos ? nul : nul - from);
    out.blockOffset = U32(e + 8);
    out.dataOffset = out.blockOffset;
    out.length = U32(e + 12);
    out.method = e[16];
    if (out.blockOffset > fileSize) {
        why = "the data of " + out.name + " lies outside the file";
        return false;
    }
    return true;
}

} // namespace

VolumeIndex::Status VolumeIndex::Parse(const ReadFn& read, std::int64_t fileSize, Data data)
{
    entries_.clear();
    problem_.clear();
    volume::DirectoryPlace place;
    std::string why;
    if (const Status found = volume::FindDirectoryPlace(read, fileSize, place, why); found != Status::Ok)
        return Fail(found, std::move(why));
    std::string names, index;
    if (!ReadBlock(read, place.namesAt, place.nameBytes, names))
        return Fail(Status::Unreadable, "cannot read the name block");
    if (!ReadBlock(read, place.indexAt, place.indexBytes, index))
        return Fail(Status::Unreadable, "cannot read the index block");

    const std::int64_t count = place.indexBytes / kEntrySize;
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const auto* e = reinterpret_cast<const unsigned char*>(index.data() + i * kEntrySize);
        Entry entry;
        if (!ReadEntry(e, names, fileSize, i, entry, why))
            return Fail(Status::Damaged, std::move(why));
        entries.push_back(std::move(entry));
    }
    entries_ = std::move(entries);
    if (data == Data::Locate)
        for (Entry& e : entries_) {
            if (LocateData(read, fileSize, e) != Status::Ok)
                return Fail(Status::Damaged, problem_);
        }
    return Status::Ok;
}

VolumeIndex::Status VolumeIndex::LocateData(const ReadFn& read, std::int64_t fileSize, Entry& entry)
{
    if (entry.located)
        return Status::Ok;
    std::int64_t at = entry.blockOffset;
    if (at < 0 || at > fileSize) {
        problem_ = "the data of " + entry.name + " lies outside the file";
        return Status::Damaged;
    }
    // A block header, when there is one, precedes the bytes; an offset that
    // points straight at the data has none.
    unsigned char tag[4];
    if (at + 8 <= fileSize && ReadExact(read, at, tag, 4) && TagIs(tag, "vblk"))
        at += 8;
    if (entry.length > fileSize - at) {
        problem_ = "the data of " + entry.name + " runs past the end of the file";
        return Status::Damaged;
    }
    entry.dataOffset = at;
    entry.located = true;
    return Status::Ok;
}

VolumeIndex::Status VolumeIndex::ParseBuffer(const void* bytesIn, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(bytesIn);
    const auto total = static_cast<std::int64_t>(size);
    return Parse(
        [bytes, total](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
            if (offset < 0 || offset > total)
                return -1;
            std::int64_t n = std::min(count, total - offset);
            std::memcpy(buffer, bytes + offset, static_cast<std::size_t>(n));
            return n;
        },
        total);
}

VolumeIndex::Status VolumeIndex::ParseFile(const std::string& path, Data data)
{
    if (!os::IsPlainFile(path))
        return Fail(Status::Unreadable, "not found or not a plain file");
    os::InputFile in(path);
    auto size = in.Size();
    if (!in.IsOpen() || !size)
        return Fail(Status::Unreadable, "cannot be opened");
    return Parse([&in](std::int64_t offset, void* buffer,
                       std::int64_t count) { return in.ReadAt(offset, buffer, count); },
                 *size, data);
}

const VolumeIndex::Entry* VolumeIndex::Find(const std::string& name) const
{
    const Entry* anyCase = nullptr;
    for (const Entry& e : entries_) {
        if (e.name == name)
            return &e;
        if (!anyCase && EqualsNoCase(e.name, name))
            anyCase = &e;
    }
    return anyCase;
}

VolumeIndex::Entry* VolumeIndex::Find(const std::string& name)
{
    return const_cast<Entry*>(static_cast<const VolumeIndex&>(*this).Find(name));
}

} // namespace tarnwick
