#include "forms/NameOrder.h"
#include "os/TextCase.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

namespace {

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
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Eight bytes at once where eight are there: cut at the first "/",
    // capitals made small, turned big-endian.
    if (from + 8 <= table.size()) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
        std::uint64_t x;
        std::memcpy(&x, table.data() + from, sizeof x);
        const std::uint64_t y = x ^ ('/' * kOnes);
        // The lowest byte flagged here is the first "/" (flags above it may
        // be false, which does not matter).
        const std::uint64_t slash = (y - kOnes) & ~y & kHigh;
        if (slash != 0) {
            const int bytes = __builtin_ctzll(slash) / 8;
            x = bytes == 0 ? 0 : x & (~std::uint64_t(0) >> (64 - 8 * bytes));
        }
        return __builtin_bswap64(FoldWord(x));
    }
#endif
    const std::size_t to = std::min(table.size(), from + 8);
    std::uint64_t key = 0;
    std::size_t i = from;
    for (; i < to && table[i] != '/'; ++i)
        key = (key << 8) | FoldCase(static_cast<unsigned char>(table[i]));
    const std::size_t taken = i - from;
    return taken == 0 ? 0 : key << (8 * (8 - taken));
}

inline bool GoesOn(std::uint64_t key) { return (key & 0xFF) != 0; }

// Equal names go in stored order.
void SortByStart(Entry* first, Entry* last)
{
    std::sort(first, last, [](const Entry& a, const Entry& b) { return a.start < b.start; });
}

// Below this many entries a comparison sort beats another radix pass.
constexpr std::ptrdiff_t kSmallRun = 64;

// Sorts [first, last) by key, the byte at `shift` and those below it; where
// keys are equal the order is left open (the caller settles it). Runs in
// place, one byte a pass from the top (American flag sort): no second
// array, whose fresh pages would cost more than the sort, and a byte that
// all keys share costs one counting pass and no moves.
void SortByKey(Entry* first, Entry* last, int shift)
{
    for (;;) {
        const std::ptrdiff_t n = last - first;
        if (n <= kSmallRun) {
            std::sort(first, last, [](const Entry& a, const Entry& b) { return a.key < b.key; });
            return;
        }
        std::size_t count[256] = {};
        for (const Entry* e = first; e != last; ++e)
            ++count[(e->key >> shift) & 0xFF];
        if (count[(first->key >> shift) & 0xFF] == static_cast<std::size_t>(n)) {
            if (shift == 0)
                return; // all keys equal
            shift -= 8;
            continue;
        }
        Entry* head[256];
        Entry* tail[256];
        Entry* at = first;
        for (int b = 0; b < 256; ++b) {
            head[b] = at;
            at += count[b];
            tail[b] = at;
        }
        for (int b = 0; b < 256; ++b) {
            while (head[b] != tail[b]) {
                Entry e = *head[b];
                auto digit = static_cast<int>((e.key >> shift) & 0xFF);
                while (digit != b) {
                    std::swap(e, *head[digit]++);
                    digit = static_cast<int>((e.key >> shift) & 0xFF);
                }
                *head[b]++ = e;
            }
        }
        if (shift == 0)
            return;
        Entry* bucket = first;
        for (int b = 0; b < 256; ++b) {
            Entry* end = bucket + count[b];
            if (count[b] > 1)
                SortByKey(bucket, end, shift - 8);
            bucket = end;
        }
        return;
    }
}

// Sorts entries [first, last) whose names agree on their first `depth`
// bytes: by the next eight, then each run of equal keys by the eight after,
// until the names end. A long shared prefix (scripts\ai\...) costs one more
// round for the names that share it, not a byte compare per comparison.
void SortFrom(std::string_view table, Entry* first, Entry* last, std::size_t depth)
{
    while (last - first > 1) {
        std::uint64_t lo = ~std::uint64_t(0), hi = 0;
        for (Entry* e = first; e != last; ++e) {
#if defined(__GNUC__)
            // The names of a run lie all over the table once sorted: asking
            // for one a few entries ahead keeps several misses in flight.
            if (last - e > 16)
                __builtin_prefetch(table.data() + std::min<std::size_t>(e[16].start + depth, table.size() - 1));
#endif
            e->key = KeyAt(table, e->start, depth);
            lo = std::min(lo, e->key);
            hi = std::max(hi, e->key);
        }
        if (lo == hi) {
            if (!GoesOn(lo)) {
                SortByStart(first, last); // equal names
                return;
            }
            depth += 8;
            continue;
        }
        SortByKey(first, last, 56);
        for (Entry* run = first; run != last;) {
            Entry* end = run + 1;
            while (end != last && end->key == run->key)
                ++end;
            if (end - run > 1) {
                if (GoesOn(run->key))
                    SortFrom(table, run, end, depth + 8);
                else
                    SortByStart(run, end);
            }
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
        const unsigned char ca = FoldCase(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

bool FileNameBefore(std::string_view a, std::string_view b)
{
    if (NameBefore(a, b))
        return true;
    return !NameBefore(b, a) && a < b;
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
