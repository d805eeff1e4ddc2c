#include "volume/VolumeWriter.h"
#include "os/Files.h"

#include <algorithm>
#include <memory>

namespace tarnwick {

namespace {
std::string U32(std::uint32_t v)
{
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}
} // namespace

void VolumeWriter::Add(std::string storedName, std::string data)
{
    Entry e;
    e.name = std::move(storedName);
    e.size = static_cast<std::int64_t>(data.size());
    e.data = std::move(data);
    entries_.push_back(std::move(e));
}

bool VolumeWriter::AddFile(std::string storedName, const std::string& sourcePath)
{
    os::InputFile in(sourcePath);
    auto size = in.IsOpen() ? in.Size() : std::nullopt;
    if (!size)
        return false;
    Entry e;
    e.name = std::move(storedName);
    e.sourcePath = sourcePath;
    e.size = *size;
    entries_.push_back(std::move(e));
    return true;
}

int VolumeWriter::AddSource(const std::string& sourcePath)
{
    os::InputFile in(sourcePath);
    auto identity = in.IsOpen() ? in.Identity() : std::nullopt;
    if (!identity)
        return -1;
    sources_.push_back({sourcePath, *identity});
    return static_cast<int>(sources_.size() - 1);
}

void VolumeWriter::AddRange(std::string storedName, int source, std::int64_t offset, std::int64_t size,
                            std::uint8_t method)
{
    Entry e;
    e.name = std::move(storedName);
    e.source = source;
    e.offset = offset;
    e.size = size;
    e.method = method;
    entries_.push_back(std::move(e));
}

bool VolumeWriter::Emit(const Sink& sink) const
{
    failure_.clear();
    // The layout is fixed by the sizes alone, so D and every offset are
    // known before the first byte goes out and the volume streams in one pass.
    std::int64_t dataEnd = 8;
    std::int64_t namesSize = 0;
    for (const Entry& e : entries_) {
        // A longer file's header would give a reader another length.
        if (e.size > kMaxFileSize) {
            failure_ = e.name + " is more than a block can hold (" + std::to_string(kMaxFileSize) + " bytes)";
            return false;
        }
        dataEnd += 8 + e.size;
        namesSize += static_cast<std::int64_t>(e.name.size()) + 1;
    }
    const std::int64_t total = dataEnd + 8 + namesSize + 1 + 8 + 17 * static_cast<std::int64_t>(entries_.size());
    if (total > kMaxVolumeSize) {
        failure_ = "the volume would exceed 2 GB";
        return false;
    }

    std::string head = "PVOL" + U32(static_cast<std::uint32_t>(dataEnd));
    if (!sink(head.data(), head.size()))
        return false;

    std::unique_ptr<char[]> buffer;
    // Each source is opened once, on its first entry, and closed before the
    // volume is moved into place: Windows cannot replace a file that is open.
    std::vector<std::unique_ptr<os::InputFile>> sources(sources_.size());
    std::vector<std::uint32_t> blockOffsets;
    blockOffsets.reserve(entries_.size());
    std::int64_t at = 8;
    for (const Entry& e : entries_) {
        blockOffsets.push_back(static_cast<std::uint32_t>(at));
        if (!EmitBlock(e, sink, buffer, sources))
            return false;
        at += 8 + e.size;
    }

    const std::string dir = Directory(namesSize, blockOffsets);
    return sink(dir.data(), dir.size());
}

bool VolumeWriter::EmitBlock(const Entry& e, const Sink& sink, std::unique_ptr<char[]>& buffer,
                             std::vector<std::unique_ptr<os::InputFile>>& sources) const
{
    std::string vblk = "VBLK" + U32((static_cast<std::uint32_t>(e.size) & 0x00FFFFFFu) | 0x80000000u);
    if (!sink(vblk.data(), vblk.size()))
        return false;
    if (e.source >= 0) {
        const Source& s = sources_[static_cast<std::size_t>(e.source)];
        auto& in = sources[static_cast<std::size_t>(e.source)];
        if (!in) {
            in = std::make_unique<os::InputFile>(s.path);
            if (!in->IsOpen() || in->Identity() != s.identity) {
                failure_ = s.path + " changed while it was read";
                return false;
            }
        }
        return Copy(*in, s.path, e.offset, e.size, sink, buffer);
    }
    if (e.sourcePath.empty())
        return sink(e.data.data(), e.data.size());

    os::InputFile in(e.sourcePath);
    if (!in.IsOpen()) {
        failure_ = "cannot read " + e.sourcePath;
        return false;
    }
    if (!Copy(in, e.sourcePath, 0, e.size, sink, buffer))
        return false;
    // A file that grew or shrank meanwhile would be stored cut off.
    if (in.Size() != e.size) {
        failure_ = e.sourcePath + " changed while it was packed";
        return false;
    }
    return true;
}

bool VolumeWriter::Copy(const os::InputFile& in, const std::string& path, std::int64_t offset, std::int64_t count,
                        const Sink& sink, std::unique_ptr<char[]>& buffer) const
{
    constexpr std::int64_t kBlock = 1 << 20;
    if (!buffer)
        buffer = std::make_unique<char[]>(kBlock);
    for (std::int64_t done = 0; done < count;) {
        std::int64_t want = std::min(kBlock, count - done);
        if (in.ReadAt(offset + done, buffer.get(), want) != want) {
            failure_ = "cannot read " + path;
            return false;
        }
        if (!sink(buffer.get(), static_cast<std::size_t>(want)))
            return false;
        done += want;
    }
    return true;
}

std::string VolumeWriter::Directory(std::int64_t namesSize, const std::vector<std::uint32_t>& blockOffsets) const
{
    std::string dir = "vols" + U32(static_cast<std::uint32_t>(namesSize));
    dir.reserve(static_cast<std::size_t>(namesSize + 18 + 17 * entries_.size()));
    std::vector<std::uint32_t> nameOffsets;
    nameOffsets.reserve(entries_.size());
    for (const Entry& e : entries_) {
        nameOffsets.push_back(static_cast<std::uint32_t>(dir.size() - 8));
        dir += e.name;
        dir += '\0';
    }
    dir += '\0';
    dir += "voli" + U32(static_cast<std::uint32_t>(17 * entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        dir += U32(0);
        dir += U32(nameOffsets[i]);
        dir += U32(blockOffsets[i]);
        dir += U32(static_cast<std::uint32_t>(entries_[i].size));
        dir += static_cast<char>(entries_[i].method);
    }
    return dir;
}

std::string VolumeWriter::Build() const
{
    std::string out;
    bool ok = Emit([&](const char* data, std::size_t count) {
        out.append(data, count);
        return true;
    });
    return ok ? out : std::string();
}

bool VolumeWriter::Write(const std::string& path) const
{
    os::AtomicOutputFile out(path);
    if (!out.IsOpen()) {
        failure_ = "cannot create " + path;
        return false;
    }
    bool ok = Emit([&](const char* data, std::size_t count) {
        if (out.Write(data, static_cast<std::int64_t>(count)))
            return true;
        failure_ = "cannot write " + path;
        return false;
    });
    if (ok && !out.Commit()) {
        failure_ = "cannot write " + path;
        ok = false;
    }
    return ok;
}

} // namespace tarnwick
