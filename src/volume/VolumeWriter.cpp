#include "volume/VolumeWriter.h"
#include "platform/os/Files.h"

namespace tarnwick {

namespace {
void PutU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
} // namespace

void VolumeWriter::Add(std::string storedName, std::string data)
{
    entries_.push_back({std::move(storedName), std::move(data)});
}

bool VolumeWriter::AddFile(std::string storedName, const std::string& sourcePath)
{
    os::InputFile in(sourcePath);
    auto size = in.Size();
    if (!in.IsOpen() || !size)
        return false;
    std::string data(static_cast<std::size_t>(*size), '\0');
    if (in.ReadAt(0, data.data(), *size) != *size)
        return false;
    Add(std::move(storedName), std::move(data));
    return true;
}

std::string VolumeWriter::Build() const
{
    std::string out = "PVOL";
    PutU32(out, 0); // D, patched below

    std::vector<std::uint32_t> blockOffsets;
    for (const Entry& e : entries_) {
        blockOffsets.push_back(static_cast<std::uint32_t>(out.size()));
        out += "VBLK";
        PutU32(out, (static_cast<std::uint32_t>(e.data.size()) & 0x00FFFFFFu) | 0x80000000u);
        out += e.data;
    }

    const std::uint32_t d = static_cast<std::uint32_t>(out.size());
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<char>((d >> (8 * i)) & 0xFF);

    std::string names;
    std::vector<std::uint32_t> nameOffsets;
    for (const Entry& e : entries_) {
        nameOffsets.push_back(static_cast<std::uint32_t>(names.size()));
        names += e.name;
        names += '\0';
    }
    out += "vols";
    PutU32(out, static_cast<std::uint32_t>(names.size()));
    out += names;
    out += '\0';
    out += "voli";
    PutU32(out, static_cast<std::uint32_t>(17 * entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        PutU32(out, 0);
        PutU32(out, nameOffsets[i]);
        PutU32(out, blockOffsets[i]);
        PutU32(out, static_cast<std::uint32_t>(entries_[i].data.size()));
        out += '\0';
    }
    return out;
}

bool VolumeWriter::Write(const std::string& path) const
{
    std::string bytes = Build();
    os::AtomicOutputFile out(path);
    return out.IsOpen() && out.Write(bytes.data(), static_cast<std::int64_t>(bytes.size())) && out.Commit();
}

} // namespace tarnwick
