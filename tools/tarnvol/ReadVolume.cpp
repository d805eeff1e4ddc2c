#include "ReadVolume.h"
#include "StoredNames.h"

#include "os/Files.h"

#include <algorithm>
#include <cstdio>

namespace tarnvol {

using tarnwick::VolumeIndex;

bool ReadVolume(tarnwick::clsVOLReader& reader, const std::string& path)
{
    reader.Error = [](std::int16_t, const std::string& message) {
        std::fprintf(stderr, "%s\n", ShownMessage(message).c_str());
    };
    // A successful listing is never empty: every name ends with "/".
    return !reader.GetFileNames(path).empty();
}

VolumeFile::VolumeFile() = default;
VolumeFile::~VolumeFile() = default;

bool VolumeFile::Open(const std::string& command, const std::string& path)
{
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
    switch (index_.Parse(read, size_, VolumeIndex::Data::Defer)) {
    case VolumeIndex::Status::Ok: return true;
    case VolumeIndex::Status::Unreadable: return fail("cannot read volume " + path + ": " + index_.Problem());
    case VolumeIndex::Status::NotAVolume: return fail(path + " is not a volume: " + index_.Problem());
    case VolumeIndex::Status::Damaged: return fail("the directory of " + path + " is damaged: " + index_.Problem());
    }
    return false;
}

bool VolumeFile::Locate(VolumeIndex::Entry& entry)
{
    const auto read = [this](std::int64_t offset, void* buffer, std::int64_t count) {
        return in_->ReadAt(offset, buffer, count);
    };
    return index_.LocateData(read, size_, entry) == VolumeIndex::Status::Ok;
}

VolumeFile::DataRead VolumeFile::ReadData(const VolumeIndex::Entry& entry, const DataSink& take)
{
    constexpr std::int64_t kBlock = 1 << 20;
    if (!buffer_)
        buffer_.reset(new char[kBlock]);
    for (std::int64_t done = 0; done < entry.length;) {
        const std::int64_t want = std::min(kBlock, entry.length - done);
        const std::int64_t got = in_->ReadAt(entry.dataOffset + done, buffer_.get(), want);
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
