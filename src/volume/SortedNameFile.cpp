#include "volume/SortedNameFile.h"

#include "os/PathStyle.h"

#include <cstdio>

namespace tarnwick::volume {

namespace {

constexpr char kMagic[] = "TWSORT02";

void PutU64(std::string& out, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint64_t U64(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// One file per volume path: FNV-1a of the path's bytes names it. Two paths
// that share a name only take turns; the header tells them apart.
std::string FileNameFor(const std::string& volume)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : volume) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.order", static_cast<unsigned long long>(h));
    return name;
}

} // namespace

SortedNameFile::SortedNameFile(std::string folder, std::string volume, std::string identity)
    : folder_(std::move(folder)), volume_(std::move(volume)), identity_(std::move(identity)),
      path_(JoinPath(folder_, FileNameFor(volume_), NativePathStyle()))
{
}

std::string SortedNameFile::Header(const DirectoryPlace& place) const
{
    std::string h(kMagic, 8);
    for (std::int64_t v : {place.namesAt, place.nameBytes, place.indexAt, place.indexBytes,
                           static_cast<std::int64_t>(volume_.size()), static_cast<std::int64_t>(identity_.size())})
        PutU64(h, static_cast<std::uint64_t>(v));
    return h + volume_ + identity_;
}

bool SortedNameFile::Open(const DirectoryPlace& place, VolumeIndex::ReadFn& order, std::int64_t& count)
{
    file_ = std::make_unique<os::InputFile>(path_);
    const auto length = file_->Size();
    if (!file_->IsOpen() || !length)
        return false;
    const std::string want = Header(place);
    const auto h = static_cast<std::int64_t>(want.size());
    std::string got(want.size() + 8, '\0');
    if (*length < h + 8 || file_->ReadAt(0, got.data(), h + 8) != h + 8 || got.compare(0, want.size(), want) != 0)
        return false;
    const std::uint64_t n = U64(reinterpret_cast<const unsigned char*>(got.data()) + h);
    if (n > static_cast<std::uint64_t>(place.indexBytes / kEntrySize) ||
        static_cast<std::uint64_t>(*length - h - 8) != 4 * n)
        return false;
    count = static_cast<std::int64_t>(n);
    const std::int64_t start = h + 8;
    os::InputFile* file = file_.get();
    order = [file, start](std::int64_t offset, void* buffer, std::int64_t bytes) {
        return file->ReadAt(start + offset, buffer, bytes);
    };
    return true;
}

bool SortedNameFile::CanKeep(const DirectoryPlace& place)
{
    out_.reset();
    // A folder standing where the file goes could never be replaced.
    if (!os::CreateFolderTree(folder_) || os::IsPlainFolder(path_))
        return false;
    // A full disk, a quota spent or a file-size limit would refuse the order
    // only once it is made, and every later run would sort again to be
    // refused again: what the system says is free, and then the file's first
    // bytes, are asked first. The order holds at most four bytes an entry.
    std::string header = Header(place);
    const auto most = static_cast<std::int64_t>(header.size()) + 8 + 4 * (place.indexBytes / kEntrySize);
    if (const auto free = os::FreeBytesIn(folder_); free && *free < most)
        return false;
    auto out = std::make_unique<os::AtomicOutputFile>(path_);
    if (!out->IsOpen() || !out->Write(header.data(), static_cast<std::int64_t>(header.size())))
        return false; // the temporary file goes with `out`
    out_ = std::move(out);
    started_ = std::move(header);
    return true;
}

void SortedNameFile::Save(const DirectoryPlace& place, const std::vector<std::uint32_t>& order)
{
    if ((!out_ || started_ != Header(place)) && !CanKeep(place))
        return;
    std::string bytes;
    PutU64(bytes, order.size());
    bytes.reserve(bytes.size() + 4 * order.size());
    for (std::uint32_t j : order)
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((j >> (8 * i)) & 0xFF);
    if (out_->Write(bytes.data(), static_cast<std::int64_t>(bytes.size())))
        out_->Commit();
    out_.reset();
}

} // namespace tarnwick::volume
