#pragma once
// Which stored entries the names a person gives select, as tar selects
// members: `/` stands for the volume's `\`, `*` and `?` are wildcards, a
// folder selects everything below it, and letters match without regard to
// ASCII case, as the game finds its files. Names arrive as stored bytes
// (Windows-1252); the entries come back in stored order, each once.
//
// The names come from a downloaded volume: one of them may be a megabyte
// long, stored once and named by thousands of entries, or a folder inside a
// folder sixty thousand times over. A name costs a walk of its bytes at
// most, never a copy of each of its folders.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace tarnvol {

// A pattern of `*` and `?` (ASCII case ignored, bytes above 0x7F compared as
// they are), taken apart once at its stars. The piece before the first star
// must start the name and the piece after the last must end it; each piece
// between is found leftmost, which is where any match could take it. The
// search runs a word of bits per 64 bytes of the piece over the name's bytes,
// so a long pattern against a long name costs name × pattern / 64 steps at
// worst, never the byte comparisons of backtracking. Entries may name every
// byte of one long name in turn, each a name of its own that ends where the
// others do: what a search found is kept by where the names end, so that
// together they cost a walk of the long name, not one each. The names a
// Wildcard is shown must therefore stay where they are while it lives.
class Wildcard {
public:
    explicit Wildcard(std::string_view pattern);
    bool Matches(std::string_view name) const;

private:
    struct Piece {
        std::string bytes; // folded; '?' stands for any byte
        // For the pieces between stars: each byte's row of bit masks (row 0
        // for a byte the piece does not hold), `words` words a row.
        std::size_t words = 0;
        std::array<std::uint8_t, 256> row{};
        std::vector<std::uint64_t> masks;
        // By the end of the bytes searched: the first place searched from,
        // and where the piece was first found past it (nullptr: nowhere).
        struct Searched {
            const char* from;
            const char* found;
        };
        mutable std::unordered_map<const char*, Searched> searched;
    };
    static bool PieceAt(const Piece& piece, std::string_view name, std::size_t at);
    // Where the piece first lies wholly inside [from, to) of the name; npos
    // when it does not.
    std::size_t Find(const Piece& piece, std::string_view name, std::size_t from, std::size_t to) const;
    std::size_t Scan(const Piece& piece, std::string_view name, std::size_t from, std::size_t to) const;

    std::vector<Piece> pieces_;
    bool starred_ = false;
    std::size_t least_ = 0; // the fewest bytes a matching name has
    mutable std::vector<std::uint64_t> state_;
};

// Whether `name` matches `pattern`.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// A pattern selects:
// - the entries whose stored name is exactly its bytes, when there are any
//   (a name as `tarnvol list -0` gives it is always taken as it is, even one
//   that holds `*`, `?` or `/`); otherwise
// - with `/` read as `\`, separators at either end and doubled ones dropped:
//   every entry whose name, or whose folder at any depth, it matches without
//   regard to ASCII case. `*` matches any run of bytes (folder separators
//   too, so `*.cs` finds scripts in every folder), `?` exactly one byte.
// Which of the two a pattern does depends on the whole volume, so the names
// pass twice, in stored order: once through See, then through Selects.
class NameSelector {
public:
    explicit NameSelector(const std::vector<std::string>& patterns);
    void See(std::string_view stored);
    bool Selects(std::string_view stored);
    // The indexes of the patterns that selected nothing, after Selects has
    // seen every name.
    std::vector<std::size_t> Unmatched() const;

private:
    using Ids = std::vector<std::size_t>;
    void Prepare();
    void Credit(const Ids& ids, bool& selected);

    std::vector<std::string> raw_, normalized_;
    std::vector<char> rawSeen_, normalizedSeen_, credited_;
    bool prepared_ = false;
    // Exact bytes to the patterns that name them; the lengths filter the
    // names worth a look-up.
    std::unordered_map<std::string_view, Ids> exact_;
    std::unordered_set<std::size_t> exactLengths_;
    // Folded literal names and folders (no wildcard) to their patterns.
    std::vector<std::string> foldedLiterals_;
    std::unordered_map<std::string_view, Ids> literal_;
    std::unordered_set<std::size_t> literalLengths_;
    std::size_t longestLiteral_ = 0;
    std::string folded_;
    struct Wild {
        std::size_t id;
        Wildcard name, folder; // the pattern, and the pattern with "\*" after it
    };
    std::vector<Wild> wild_;
    // Entries often share one stored name; its answer is kept by where the
    // name stands (and its length), up to a bound.
    std::unordered_map<const char*, std::pair<std::size_t, bool>> answered_;
};

struct NameSelection {
    std::vector<std::size_t> chosen;    // indexes of the stored names, ascending
    std::vector<std::size_t> unmatched; // indexes of the patterns that selected nothing
};

// The selection over names held in memory.
NameSelection SelectNames(const std::vector<std::string_view>& stored, const std::vector<std::string>& patterns);

} // namespace tarnvol
