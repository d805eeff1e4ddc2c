// The order of the contents list on tables built to stress the sort (long
// shared starts, prefixes, case twins, any bytes, many equal names, enough
// of them for its radix passes), against a plain stable sort of folded names.
#include "forms/NameOrder.h"
#include "os/TextCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace tarnwick;

namespace {

// The list's folding, as the contents list promises it: A to Z become a to
// z, every other byte stays.
std::string Folded(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return out;
}

// The starts of the non-empty pieces of `table`, sorted by their folded
// bytes compared as unsigned (as std::string compares), equal ones in stored order.
std::vector<std::uint32_t> Expected(const std::string& table)
{
    std::vector<std::pair<std::string, std::uint32_t>> pieces;
    for (std::size_t at = 0; at < table.size();) {
        const std::size_t end = std::min(table.find('/', at), table.size());
        if (end > at)
            pieces.emplace_back(Folded(table.substr(at, end - at)), static_cast<std::uint32_t>(at));
        at = end + 1;
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::uint32_t> starts;
    for (const auto& p : pieces)
        starts.push_back(p.second);
    return starts;
}

// A small pseudo-random source, the same on every run.
struct Random {
    std::uint32_t x;
    std::uint32_t Next()
    {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    }
};

std::string Table(const std::vector<std::string>& names)
{
    std::string t;
    for (const auto& n : names)
        t += n + "/";
    return t;
}

std::vector<std::pair<const char*, std::string>> Tables()
{
    std::vector<std::pair<const char*, std::string>> tables;
    Random r{2463534242u};
    std::vector<std::string> v;
    tables.emplace_back("empty pieces only", Table({"", "", ""}));
    for (int i = 0; i < 2000; ++i) {
        const std::uint32_t k = r.Next() % 300;
        const std::string n = "scripts\\shared\\start\\of\\many\\names\\" + std::string(k % 7, 'x') + std::to_string(k);
        v.push_back(r.Next() % 2 ? ToLower(n) : ToUpper(n));
    }
    tables.emplace_back("long shared start, case twins, prefixes", Table(v));

    v.clear();
    for (int i = 0; i < 1500; ++i) {
        std::string n;
        const int len = 1 + static_cast<int>(r.Next() % 20);
        for (int k = 0; k < len; ++k) {
            char c;
            do
                c = static_cast<char>(r.Next() % 256);
            while (c == '/' || c == '\0');
            n += c;
        }
        v.push_back(n);
    }
    tables.emplace_back("any bytes", Table(v));

    v.assign(700, "Same\\Name.cs");
    for (int i = 0; i < 700; i += 3)
        v[static_cast<std::size_t>(i)] = "same\\name.CS";
    tables.emplace_back("many equal names", Table(v));

    v.clear();
    for (int i = 0; i < 1200; ++i)
        v.push_back(std::string(static_cast<std::size_t>(1 + r.Next() % 40), static_cast<char>('a' + r.Next() % 2)));
    tables.emplace_back("runs of two letters", Table(v));
    return tables;
}

} // namespace

TEST(NameOrder, SortsLikeAStableSortOfFoldedNamesAndNameBeforeAgrees)
{
    // Folded to lower case ('_' before the letters), unsigned bytes (0xE9
    // last), twins in stored order, empty pieces left out.
    const std::string few = Table({"b.cs", "A.cs", "a.CS", "", "ab", "a", "B.cs", "_", "\xE9"});
    std::vector<std::string> sorted;
    for (const std::uint32_t start : SortedNameStarts(few))
        sorted.push_back(few.substr(start, few.find('/', start) - start));
    EXPECT_EQ(sorted, (std::vector<std::string>{"_", "a", "A.cs", "a.CS", "ab", "b.cs", "B.cs", "\xE9"}));
    auto tables = Tables();
    tables.emplace_back("a few", few);
    for (const auto& [what, table] : tables) {
        const std::vector<std::uint32_t> got = SortedNameStarts(table);
        ASSERT_EQ(got, Expected(table)) << what;
        const auto name = [&table](std::uint32_t start) {
            return std::string_view(table).substr(start, table.find('/', start) - start);
        };
        // Neighbours in the list: the earlier one goes first unless they are equal names.
        for (std::size_t i = 1; i < got.size(); ++i) {
            const std::string_view a = name(got[i - 1]), b = name(got[i]);
            ASSERT_FALSE(NameBefore(b, a)) << what << ": row " << i;
            ASSERT_EQ(NameBefore(a, b), Folded(a) != Folded(b)) << what << ": row " << i;
        }
    }
}
