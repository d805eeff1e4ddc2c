#include "support/VolumeBytes.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <stdexcept>

namespace tarnwick::test {

namespace {
VolumeWriter Writer(const Files& files)
{
    VolumeWriter w;
    for (const auto& [name, data] : files)
        w.Add(name, data);
    return w;
}
} // namespace

std::string BuildVolume(const Files& files) { return Writer(files).Build(); }

std::string WriteVolume(const std::string& path, const Files& files)
{
    const VolumeWriter w = Writer(files);
    if (!w.Write(path))
        throw std::runtime_error(w.Failure());
    return path;
}

std::uint32_t Get32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t v) { bytes.replace(at, 4, Le32(v)); }

VolumeLayout::VolumeLayout(const std::string& v) : d(Get32(v, 4)), s(Get32(v, d + 4)), voli(d + 9 + s) {}

} // namespace tarnwick::test
