#include "mainwindow/NameOrder.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

namespace {

inline unsigned char Fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c; }

// One name of the table being sorted: eight folded bytes of it from the
// current depth, big-endian, so that comparing keys compares names; and
// where it starts, which also keeps equal names in stored order.
struct Entry {
    std::uint64_t key;
    std::uint32_t start;
};

// The folded bytes of the name at `start` from `depth` on; after the name's
// end the key holds 0, which no byte of a name is (NUL and "/" end names),
// so a shorter name sorts first, and a key whose last byte is 0 is of a name
// that ended.
std::uint64_t KeyAt(std::string_view table, std::uint32_t start, std::size_t depth)
{
    const std::size_t from = start + depth;
    const std::size_t to = std::min(table.size(), from + 8);
    std::uint64_t key = 0;
    std::size_t i = from;
    for (; i < to && table[i] != '/'; ++i)
        key = (key << 8) | Fold(static_cast<unsigned char>(table[i]));
    const std::size_t taken = i - from;
    return taken == 0 ? 0 : key << (8 * (8 - taken));
}

inline bool GoesOn(std::uint64_t key) { return (key & 0xFF) != 0; }

// Sorts entries [first, last) whose names agree on their first `depth`
// bytes: by the next eight, then each run of equal keys by the eight after,
// until the names end. A long shared prefix (scripts\ai\...) costs one more
// round for the names that share it, not a byte compare per comparison.
void SortFrom(std::string_view table, Entry* first, Entry* last, std::size_t depth)
{
    while (last - first > 1) {
        std::uint64_t lo = ~std::uint64_t(0), hi = 0;
        for (Entry* e = first; e != last; ++e) {
            e->key = KeyAt(table, e->start, depth);
            lo = std::min(lo, e->key);
            hi = std::max(hi, e->key);
        }
        if (lo == hi) {
            if (!GoesOn(lo))
                return; // equal names, already in stored order
            depth += 8;
            continue;
        }
        std::sort(first, last, [](const Entry& a, const Entry& b) { return a.key != b.key ? a.key < b.key : a.start < b.start; });
        for (Entry* run = first; run != last;) {
            Entry* end = run + 1;
            while (end != last && end->key == run->key)
                ++end;
            if (end - run > 1 && GoesOn(run->key))
                SortFrom(table, run, end, depth + 8);
            run = end;
        }
        return;
    }
}

} // namespace

bool NameBefore(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = Fold(static_cast<unsigned char>(a[i]));
        const unsigned char cb = Fold(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

std::vector<std::uint32_t> SortedNameStarts(std::string_view table)
{
    std::vector<Entry> entries;
    const char* base = table.data();
    const std::size_t n = table.size();
    // Count first: a vector grown by doubling would need half again its size.
    std::size_t names = 0;
    for (std::size_t at = 0; at < n;) {
        const auto* slash = static_cast<const char*>(std::memchr(base + at, '/', n - at));
        const std::size_t end = slash ? static_cast<std::size_t>(slash - base) : n;
        names += end > at;
        at = end + 1;
    }
    entries.reserve(names);
    for (std::size_t at = 0; at < n;) {
        const auto* slash = static_cast<const char*>(std::memchr(base + at, '/', n - at));
        const std::size_t end = slash ? static_cast<std::size_t>(slash - base) : n;
        if (end > at)
            entries.push_back({0, static_cast<std::uint32_t>(at)});
        at = end + 1;
    }
    if (!entries.empty())
        SortFrom(table, entries.data(), entries.data() + entries.size(), 0);
    std::vector<std::uint32_t> starts;
    starts.reserve(entries.size());
    for (const Entry& e : entries)
        starts.push_back(e.start);
    return starts;
}

} // namespace tarnwick
