#include "NameSelection.h"

#include "os/TextCase.h"

#include <unordered_map>

namespace tarnvol {

using tarnwick::FoldCase;

namespace {

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// `/` as `\`, no separator at either end, none doubled.
std::string Normalized(const std::string& pattern)
{
    std::string out;
    out.reserve(pattern.size());
    for (char c : pattern) {
        if (c == '/' || c == '\\') {
            if (!out.empty() && out.back() != '\\')
                out += '\\';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

// Folded names and folders, so that a list of many literal names (-T) costs
// one look-up each instead of a pass over the volume.
class LiteralIndex {
public:
    explicit LiteralIndex(const std::vector<std::string_view>& stored)
    {
        for (std::size_t i = 0; i < stored.size(); ++i) {
            const std::string folded = tarnwick::ToLower(stored[i]);
            exact_[std::string(stored[i])].push_back(i);
            byName_[folded].push_back(i);
            for (std::size_t at = folded.find('\\'); at != std::string::npos; at = folded.find('\\', at + 1))
                byFolder_[folded.substr(0, at)].push_back(i);
        }
    }
    const std::vector<std::size_t>* Exact(const std::string& s) const { return Get(exact_, s); }
    const std::vector<std::size_t>* Name(const std::string& folded) const { return Get(byName_, folded); }
    const std::vector<std::size_t>* Folder(const std::string& folded) const { return Get(byFolder_, folded); }

private:
    using Map = std::unordered_map<std::string, std::vector<std::size_t>>;
    static const std::vector<std::size_t>* Get(const Map& m, const std::string& key)
    {
        auto it = m.find(key);
        return it == m.end() ? nullptr : &it->second;
    }
    Map exact_, byName_, byFolder_;
};

} // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    // The classic greedy walk: on a mismatch, let the last `*` take one more
    // byte. Linear in practice, never worse than pattern × name.
    std::size_t p = 0, n = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

NameSelection SelectNames(const std::vector<std::string_view>& stored, const std::vector<std::string>& patterns)
{
    NameSelection result;
    std::vector<char> taken(stored.size(), 0);
    const LiteralIndex index(stored);
    for (std::size_t k = 0; k < patterns.size(); ++k) {
        bool any = false;
        auto take = [&](std::size_t i) {
            taken[i] = 1;
            any = true;
        };
        auto takeAll = [&](const std::vector<std::size_t>* list) {
            if (list)
                for (std::size_t i : *list)
                    take(i);
        };
        if (const auto* exact = index.Exact(patterns[k])) {
            takeAll(exact);
        } else {
            const std::string pattern = Normalized(patterns[k]);
            if (const auto* exact2 = index.Exact(pattern)) {
                takeAll(exact2);
            } else if (!HasWildcard(pattern)) {
                const std::string folded = tarnwick::ToLower(pattern);
                takeAll(index.Name(folded));
                takeAll(index.Folder(folded));
            } else {
                for (std::size_t i = 0; i < stored.size(); ++i) {
                    const std::string_view name = stored[i];
                    bool match = WildcardMatch(pattern, name);
                    for (std::size_t at = name.find('\\'); !match && at != std::string_view::npos;
                         at = name.find('\\', at + 1))
                        match = WildcardMatch(pattern, name.substr(0, at));
                    if (match)
                        take(i);
                }
            }
        }
        if (!any)
            result.unmatched.push_back(k);
    }
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (taken[i])
            result.chosen.push_back(i);
    return result;
}

} // namespace tarnvol
