#pragma once
// Volumes for the tests: written by our own writer from names and bytes, and
// their 32-bit fields read and changed where a test damages one on purpose.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

// Stored names (backslashes between folders) and their bytes, in stored order.
using Files = std::vector<std::pair<std::string, std::string>>;

std::string BuildVolume(const Files& files);
// Writes the volume and gives its path back; throws when the writer fails.
std::string WriteVolume(const std::string& path, const Files& files);

std::uint32_t Get32(const std::string& bytes, std::size_t at);
void Put32(std::string& bytes, std::size_t at, std::uint32_t v);

// Where the writer put the parts of a volume: the name block D, its size S,
// the index tag, and entry i (name offset +4, block +8, length +12, method +16).
struct VolumeLayout {
    std::size_t d, s, voli;
    explicit VolumeLayout(const std::string& v);
    std::size_t Entry(std::size_t i) const { return voli + 8 + 17 * i; }
};

} // namespace tarnwick::test
