#pragma once
// The order of the contents list: ASCII letters without regard to case,
// every other byte by its value, a shorter name first when one is the
// other's start, and equal names in stored order.
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarnwick {

bool NameBefore(std::string_view a, std::string_view b);
// The order of the folder and volume lists: as NameBefore, and names that
// differ only in case by their bytes, so that the order never depends on
// the order the disk gave them in.
bool FileNameBefore(std::string_view a, std::string_view b);

// The starts of the non-empty names of `table` (every name followed by "/",
// as clsVOLReader::TableText holds them), in list order. Throws
// std::bad_alloc when the memory for it cannot be had.
std::vector<std::uint32_t> SortedNameStarts(std::string_view table);

} // namespace tarnwick
