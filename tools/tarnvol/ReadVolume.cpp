#include "ReadVolume.h"
#include "StoredNames.h"

#include "os/Files.h"

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

std::int64_t VolumeFile::ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const
{
    return in_->ReadAt(offset, buffer, count);
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
