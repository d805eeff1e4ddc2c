#include "volume/SortedNames.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::volume {

namespace {

struct Item {
    std::uint32_t at;  // where the name starts in the block
    std::uint32_t len; // its bytes before the NUL (or the block's end)
    std::uint32_t j;   // its place in the index
};

// The stored name read into `buf` (up to n + 1 bytes, fewer at the block's
// end) against the wanted one: below, equal or above zero as memcmp.
int CompareStored(const unsigned char* buf, std::int64_t got, std::string_view name)
{
    const auto n = static_cast<std::int64_t>(name.size());
    const void* nul = std::memchr(buf, 0, static_cast<std::size_t>(got));
    const std::int64_t len = nul ? static_cast<const unsigned char*>(nul) - buf : got;
    const int c = std::memcmp(buf, name.data(), static_cast<std::size_t>(std::min(len, n)));
    if (c != 0)
        return c;
    return len < n ? -1 : len > n ? 1 : 0;
}

} // namespace

std::vector<std::uint32_t> SortEntriesByName(const unsigned char* names, std::int64_t s, const unsigned char* index,
                                             std::int64_t count)
{
    std::vector<Item> items;
    items.reserve(static_cast<std::size_t>(count));
    for (std::int64_t j = 0; j < count; ++j) {
        const std::uint32_t at = U32(index + j * kEntrySize + 4);
        if (at < s)
            items.push_back({at, 0, static_cast<std::uint32_t>(j)});
    }
    // Each name's length, found walking the block once in the order the
    // names stand: entries that point into one long name must not make us
    // measure it again for each of them.
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.at < b.at; });
    std::int64_t nul = -1;
    for (Item& it : items) {
        if (nul < it.at) {
            const void* p = std::memchr(names + it.at, 0, static_cast<std::size_t>(s - it.at));
            nul = p ? static_cast<const unsigned char*>(p) - names : s;
        }
        it.len = static_cast<std::uint32_t>(nul - it.at);
    }
    items.erase(std::remove_if(items.begin(), items.end(), [](const Item& it) { return it.len > kMostSortedNameBytes; }),
                items.end());
    std::sort(items.begin(), items.end(), [names](const Item& a, const Item& b) {
        const int c = std::memcmp(names + a.at, names + b.at, std::min(a.len, b.len));
        if (c != 0)
            return c < 0;
        return a.len != b.len ? a.len < b.len : a.j < b.j;
    });
    std::vector<std::uint32_t> order;
    order.reserve(items.size());
    for (const Item& it : items)
        order.push_back(it.j);
    return order;
}

SortedFind FindInSortedNames(const VolumeIndex::ReadFn& read, const DirectoryPlace& place,
                             const VolumeIndex::ReadFn& order, std::int64_t count, std::string_view name,
                             std::int64_t& entry)
{
    const auto n = static_cast<std::int64_t>(name.size());
    const std::int64_t entries = place.indexBytes / kEntrySize;
    if (n > kMostSortedNameBytes || count < 0 || count > entries)
        return SortedFind::Missing;
    std::vector<unsigned char> buf(static_cast<std::size_t>(n + 1));
    bool astray = false, unreadable = false;
    // The entry at position k of the order and how its name compares.
    auto at = [&](std::int64_t k, std::int64_t& j) -> int {
        unsigned char raw[4];
        if (!ReadExact(order, k * 4, raw, 4) || (j = U32(raw)) >= entries) {
            astray = true;
            return 0;
        }
        if (!ReadExact(read, place.indexAt + j * kEntrySize + 4, raw, 4)) {
            unreadable = true;
            return 0;
        }
        const std::int64_t offset = U32(raw);
        if (offset >= place.nameBytes) {
            astray = true;
            return 0;
        }
        const std::int64_t got = std::min(n + 1, place.nameBytes - offset);
        if (!ReadExact(read, place.namesAt + offset, buf.data(), got)) {
            unreadable = true;
            return 0;
        }
        return CompareStored(buf.data(), got, name);
    };
    std::int64_t lo = 0, hi = count, j = 0;
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        const int c = at(mid, j);
        if (unreadable)
            return SortedFind::Unreadable;
        if (astray)
            return SortedFind::Missing;
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == count)
        return SortedFind::Missing;
    const int c = at(lo, j);
    if (unreadable)
        return SortedFind::Unreadable;
    if (astray || c != 0)
        return SortedFind::Missing;
    entry = j;
    return SortedFind::Found;
}

} // namespace tarnwick::volume
