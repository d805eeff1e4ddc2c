#pragma once
// Volumes for the tests: written by our own writer from names and bytes, and
// their 32-bit fields read and changed where a test damages one on purpose.
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

// Stored names (backslashes between folders) and their bytes, in stored order.
using Files = std::vector<std::pair<std::string, std::string>>;

inline VolumeWriter VolumeOf(const Files& files)
{
    VolumeWriter w;
    for (const auto& [name, data] : files)
        w.Add(name, data);
    return w;
}
inline std::string BuildVolume(const Files& files) { return VolumeOf(files).Build(); }
// Writes the volume and gives its path back; throws when the writer fails.
inline std::string WriteVolume(const std::string& path, const Files& files)
{
    if (const VolumeWriter w = VolumeOf(files); !w.Write(path))
        throw std::runtime_error(w.Failure());
    return path;
}
// A volume of the names, each file holding "data of " and its name; its
// folders are made as needed.
inline std::string MakeVolume(const std::string& path, const std::vector<std::string>& names)
{
    Files files;
    for (const std::string& n : names)
        files.emplace_back(n, "data of " + n);
    return WriteFile(path, BuildVolume(files));
}

// A hand-made volume whose name block of `size` bytes (an even number) is
// one-letter names, 'a' to 'z' over and over: the most names a block of that
// size holds. Its index is no index: only a listing may read it.
inline std::string WriteLetterNamesVolume(const std::string& path, std::uint32_t size)
{
    std::string block(size, '\0');
    for (std::uint32_t i = 0; i < size; i += 2)
        block[i] = static_cast<char>('a' + (i / 2) % 26);
    return WriteFile(path, "PVOL" + Le32(8) + "vols" + Le32(size) + block + "\x7FYYYY" + Le32(7));
}

inline std::uint32_t Get32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}
inline void Put32(std::string& bytes, std::size_t at, std::uint32_t v) { bytes.replace(at, 4, Le32(v)); }

// Where the writer put the parts of a volume: the name block D, its size S,
// the index tag, and entry i (name offset +4, block +8, length +12, method +16).
struct VolumeLayout {
    std::size_t d, s, voli;
    explicit VolumeLayout(const std::string& v) : d(Get32(v, 4)), s(Get32(v, d + 4)), voli(d + 9 + s) {}
    std::size_t Entry(std::size_t i) const { return voli + 8 + 17 * i; }
};

// The volume with `copies` more index entries, each a copy of entry `of`,
// after the last: entries that share one name and one block of data.
inline std::string WithEntryCopies(std::string v, std::size_t of, std::size_t copies)
{
    const VolumeLayout at(v);
    const std::string entry = v.substr(at.Entry(of), 17);
    const std::uint32_t length = Get32(v, at.voli + 4);
    for (std::size_t i = 0; i < copies; ++i)
        v += entry;
    Put32(v, at.voli + 4, length + static_cast<std::uint32_t>(17 * copies));
    return v;
}

// A stored name of about `bytes` bytes that is a folder inside a folder as
// deep as it goes: "a\a\...\a".
inline std::string DeepName(std::size_t bytes)
{
    std::string name;
    while (name.size() + 2 < bytes)
        name += "a\\";
    return name + "a";
}

} // namespace tarnwick::test
