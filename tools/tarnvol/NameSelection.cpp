#include "NameSelection.h"

#include "os/TextCase.h"

#include <algorithm>
#include <functional>

namespace tarnvol {

using tarnwick::FoldCase;

namespace {

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

unsigned char Folded(char c) { return FoldCase(static_cast<unsigned char>(c)); }

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

// The most names whose answer is kept, and the most ends of names a piece
// keeps its searches for: past them the work is done again.
constexpr std::size_t kMostAnswers = 1 << 20;
constexpr std::size_t kMostSearches = 1 << 16;

} // namespace

Wildcard::Wildcard(std::string_view pattern)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t star = pattern.find('*', start);
        const std::string_view text = pattern.substr(start, star == std::string_view::npos ? star : star - start);
        Piece piece;
        piece.bytes.reserve(text.size());
        for (char c : text)
            piece.bytes += static_cast<char>(Folded(c));
        least_ += piece.bytes.size();
        // Empty pieces between stars ("**") constrain nothing.
        if (pieces_.empty() || star == std::string_view::npos || !piece.bytes.empty())
            pieces_.push_back(std::move(piece));
        if (star == std::string_view::npos)
            break;
        starred_ = true;
        start = star + 1;
    }
    std::size_t widest = 0;
    for (std::size_t i = 1; i + 1 < pieces_.size(); ++i) {
        Piece& p = pieces_[i];
        const std::size_t m = p.bytes.size();
        p.words = (m + 63) / 64;
        widest = std::max(widest, p.words);
        std::size_t rows = 1;
        for (char c : p.bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (c != '?' && p.row[b] == 0)
                p.row[b] = static_cast<std::uint8_t>(rows++);
        }
        p.masks.assign(rows * p.words, 0);
        for (std::size_t j = 0; j < m; ++j) {
            const std::uint64_t bit = std::uint64_t{1} << (j % 64);
            if (p.bytes[j] == '?') {
                for (std::size_t r = 0; r < rows; ++r)
                    p.masks[r * p.words + j / 64] |= bit;
            } else {
                p.masks[p.row[static_cast<unsigned char>(p.bytes[j])] * p.words + j / 64] |= bit;
            }
        }
    }
    state_.resize(widest);
}

bool Wildcard::PieceAt(const Piece& piece, std::string_view name, std::size_t at)
{
    for (std::size_t j = 0; j < piece.bytes.size(); ++j)
        if (piece.bytes[j] != '?' && static_cast<unsigned char>(piece.bytes[j]) != Folded(name[at + j]))
            return false;
    return true;
}

std::size_t Wildcard::Find(const Piece& piece, std::string_view name, std::size_t from, std::size_t to) const
{
    const char* const base = name.data();
    const char* const start = base + from;
    const std::less<const char*> before;
    auto kept = piece.searched.find(base + to);
    if (kept == piece.searched.end()) {
        if (piece.searched.size() >= kMostSearches)
            piece.searched.clear();
        // Searched from the end, found nowhere: true of every piece.
        kept = piece.searched.emplace(base + to, Piece::Searched{base + to, nullptr}).first;
    }
    Piece::Searched& s = kept->second;
    if (before(start, s.from)) {
        // Only the places before the one searched from are new: the piece is
        // looked for at those, and past them the kept answer holds.
        const auto keptFrom = static_cast<std::size_t>(s.from - base);
        const std::size_t at = Scan(piece, name, from, std::min(to, keptFrom + piece.bytes.size() - 1));
        s = {start, at == std::string_view::npos ? s.found : base + at};
    } else if (s.found && before(s.found, start)) {
        // Past what was found, nothing is known.
        const std::size_t at = Scan(piece, name, from, to);
        s = {start, at == std::string_view::npos ? nullptr : base + at};
    }
    // Otherwise the start lies between the place searched from and what it
    // found (or the end): the same answer.
    return s.found ? static_cast<std::size_t>(s.found - base) : std::string_view::npos;
}

std::size_t Wildcard::Scan(const Piece& piece, std::string_view name, std::size_t from, std::size_t to) const
{
    // Shift-And: bit j of the state is set when the piece's first j + 1
    // bytes end at the byte just read. Only the words that can hold a set
    // bit are worked, so a piece that keeps failing early costs one word.
    const std::size_t m = piece.bytes.size(), words = piece.words;
    const std::uint64_t last = std::uint64_t{1} << ((m - 1) % 64);
    std::uint64_t* d = state_.data();
    std::fill(d, d + words, 0);
    std::size_t active = 0;
    for (std::size_t i = from; i < to; ++i) {
        const std::uint64_t* mask = piece.masks.data() + piece.row[Folded(name[i])] * words;
        const std::size_t reach = std::min(words, active + 1);
        std::uint64_t carry = 1;
        active = 0;
        for (std::size_t w = 0; w < reach; ++w) {
            const std::uint64_t was = d[w];
            d[w] = ((was << 1) | carry) & mask[w];
            carry = was >> 63;
            if (d[w])
                active = w + 1;
        }
        if (active == words && (d[words - 1] & last))
            return i + 1 - m;
    }
    return std::string_view::npos;
}

bool Wildcard::Matches(std::string_view name) const
{
    const std::size_t n = name.size();
    if (n < least_)
        return false;
    const Piece& first = pieces_.front();
    if (!starred_)
        return n == first.bytes.size() && PieceAt(first, name, 0);
    const Piece& final = pieces_.back();
    const std::size_t end = n - final.bytes.size();
    if (!PieceAt(first, name, 0) || !PieceAt(final, name, end))
        return false;
    std::size_t at = first.bytes.size();
    for (std::size_t i = 1; i + 1 < pieces_.size(); ++i) {
        const std::size_t found = Find(pieces_[i], name, at, end);
        if (found == std::string_view::npos)
            return false;
        at = found + pieces_[i].bytes.size();
    }
    return true;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) { return Wildcard(pattern).Matches(name); }

NameSelector::NameSelector(const std::vector<std::string>& patterns)
    : raw_(patterns), rawSeen_(patterns.size(), 0), normalizedSeen_(patterns.size(), 0),
      credited_(patterns.size(), 0)
{
    normalized_.reserve(raw_.size());
    for (std::size_t k = 0; k < raw_.size(); ++k) {
        normalized_.push_back(Normalized(raw_[k]));
        exact_[raw_[k]].push_back(k);
        exact_[normalized_[k]].push_back(k);
        exactLengths_.insert(raw_[k].size());
        exactLengths_.insert(normalized_[k].size());
    }
}

void NameSelector::See(std::string_view stored)
{
    if (exactLengths_.count(stored.size()) == 0)
        return;
    const auto it = exact_.find(stored);
    if (it == exact_.end())
        return;
    for (std::size_t k : it->second) {
        if (raw_[k] == stored)
            rawSeen_[k] = 1;
        if (normalized_[k] == stored)
            normalizedSeen_[k] = 1;
    }
}

void NameSelector::Prepare()
{
    // From here on exact_ holds only the patterns that select by exact bytes.
    exact_.clear();
    exactLengths_.clear();
    foldedLiterals_.resize(raw_.size());
    for (std::size_t k = 0; k < raw_.size(); ++k) {
        if (rawSeen_[k] || normalizedSeen_[k]) {
            const std::string& bytes = rawSeen_[k] ? raw_[k] : normalized_[k];
            exact_[bytes].push_back(k);
            exactLengths_.insert(bytes.size());
        } else if (!HasWildcard(normalized_[k])) {
            std::string& folded = foldedLiterals_[k];
            for (char c : normalized_[k])
                folded += static_cast<char>(Folded(c));
            literal_[folded].push_back(k);
            literalLengths_.insert(normalized_[k].size());
            longestLiteral_ = std::max(longestLiteral_, normalized_[k].size());
        } else {
            wild_.push_back({k, Wildcard(normalized_[k]), Wildcard(normalized_[k] + "\\*")});
        }
    }
    prepared_ = true;
}

void NameSelector::Credit(const Ids& ids, bool& selected)
{
    for (std::size_t k : ids)
        credited_[k] = 1;
    selected = selected || !ids.empty();
}

bool NameSelector::Selects(std::string_view stored)
{
    if (!prepared_)
        Prepare();
    // The same bytes again: every pattern they match is credited already.
    if (const auto it = answered_.find(stored.data()); it != answered_.end() && it->second.first == stored.size())
        return it->second.second;
    bool selected = false;
    if (exactLengths_.count(stored.size()) != 0)
        if (const auto it = exact_.find(stored); it != exact_.end())
            Credit(it->second, selected);
    // A literal names the entry itself or a folder of it (its bytes, then a
    // separator): only the bytes up to the longest literal and the separator
    // after it are ever looked at.
    if (!literal_.empty()) {
        const std::size_t reach = std::min(stored.size(), longestLiteral_ + 1);
        folded_.assign(stored.data(), reach);
        for (char& c : folded_)
            c = static_cast<char>(Folded(c));
        auto look = [&](std::size_t length) {
            if (literalLengths_.count(length) == 0)
                return;
            if (const auto it = literal_.find(std::string_view(folded_).substr(0, length)); it != literal_.end())
                Credit(it->second, selected);
        };
        for (std::size_t at = folded_.find('\\'); at != std::string::npos; at = folded_.find('\\', at + 1))
            look(at);
        if (stored.size() <= longestLiteral_)
            look(stored.size());
    }
    for (const Wild& w : wild_) {
        if (selected && credited_[w.id])
            continue;
        if (w.name.Matches(stored) || w.folder.Matches(stored)) {
            credited_[w.id] = 1;
            selected = true;
        }
    }
    if (answered_.size() < kMostAnswers && !stored.empty())
        answered_.emplace(stored.data(), std::pair(stored.size(), selected));
    return selected;
}

std::vector<std::size_t> NameSelector::Unmatched() const
{
    std::vector<std::size_t> out;
    for (std::size_t k = 0; k < credited_.size(); ++k)
        if (!credited_[k])
            out.push_back(k);
    return out;
}

NameSelection SelectNames(const std::vector<std::string_view>& stored, const std::vector<std::string>& patterns)
{
    NameSelector selector(patterns);
    for (std::string_view name : stored)
        selector.See(name);
    NameSelection result;
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (selector.Selects(stored[i]))
            result.chosen.push_back(i);
    result.unmatched = selector.Unmatched();
    return result;
}

} // namespace tarnvol
