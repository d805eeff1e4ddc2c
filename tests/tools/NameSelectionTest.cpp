// How names a person gives select stored entries, and the bytes of names that look like patterns.
#include "NameSelection.h"

#include <gtest/gtest.h>

using namespace tarnvol;
using Names = std::vector<std::string>;

namespace {

// A hostile volume may store wildcards, a '/', a file named like a folder,
// and upper case outside ASCII, which is another name.
const Names kStored = {"top.cs",          "Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "scripts\\b.CS",
                       "Skins\\LArmor.bmp", "caf\xE9.cs",        "odd*name?.cs", "slash/inside.cs",
                       "Scripts",         "CAF\xC9.cs",          "ScriptsX\\c.cs"};
const std::vector<std::string_view> kViews(kStored.begin(), kStored.end());

Names Chosen(const NameSelection& s)
{
    Names out;
    for (std::size_t i : s.chosen)
        out.push_back(kStored[i]);
    return out;
}

} // namespace

TEST(NameSelection, SelectsAsTarAndTheGameWould)
{
    const std::pair<Names, Names> cases[] = {
        {{"scripts\\ai\\bot.CS"}, {"Scripts\\AI\\Bot.cs"}},
        {{"/Scripts//AI/Bot.cs"}, {"Scripts\\AI\\Bot.cs"}},         // '/' for '\', doubled and leading
        {{"Scripts/AI/"}, {"Scripts\\AI\\Bot.cs"}},                 // a folder, closing separator
        {{"SCRIPTS"}, {"Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "scripts\\b.CS", "Scripts"}},
        {{"Scripts"}, {"Scripts"}},                                 // its exact bytes name the file
        {{"*.cs"}, {"top.cs", "Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "scripts\\b.CS", "caf\xE9.cs", "odd*name?.cs",
                    "slash/inside.cs", "CAF\xC9.cs", "ScriptsX\\c.cs"}},
        {{"scripts/?.cs"}, {"Scripts\\a.cs", "scripts\\b.CS"}},
        // A name ending in 's', or a folder that does.
        {{"S*s"}, {"Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "scripts\\b.CS", "Skins\\LArmor.bmp", "slash/inside.cs",
                   "Scripts", "ScriptsX\\c.cs"}},
        {{"*\\*\\*"}, {"Scripts\\AI\\Bot.cs"}},
        {{"CAF\xE9.cs"}, {"caf\xE9.cs"}},                           // ASCII folds, bytes above 0x7F do not
        {{"odd*name?.cs"}, {"odd*name?.cs"}},                       // exact bytes before wildcards
        {{"slash/inside.cs"}, {"slash/inside.cs"}},                 // exact bytes before '/' as '\'
        // Stored order, each once, whatever the order and overlap of patterns.
        {{"top.cs", "Scripts/a.cs", "TOP.cs", "*"}, kStored},
    };
    for (const auto& [patterns, chosen] : cases) {
        const NameSelection s = SelectNames(kViews, patterns);
        EXPECT_EQ(Chosen(s), chosen) << patterns[0];
        EXPECT_TRUE(s.unmatched.empty()) << patterns[0];
    }
}

TEST(NameSelection, NamesThatSelectNothingAreReported)
{
    const std::tuple<Names, std::vector<std::size_t>, std::size_t> cases[] = {
        {{"top.cs", "nothere.cs", "*.bmp", "x*"}, {1, 3}, 2},
        {{"Scripts/A"}, {0}, 0},               // no name is a prefix of another's piece
        {{"top.cs/"}, {}, 1},                  // a closing separator still names the file
        {{"Scripts\\AI\\Bot.cs\\x"}, {0}, 0},
        {{"caf\xC3\xA9.cs"}, {0}, 0},          // UTF-8 is converted before, never here
    };
    for (const auto& [patterns, unmatched, chosen] : cases) {
        const NameSelection s = SelectNames(kViews, patterns);
        EXPECT_EQ(s.unmatched, unmatched) << patterns[0];
        EXPECT_EQ(s.chosen.size(), chosen) << patterns[0];
    }
}

TEST(NameSelection, WildcardsOnTheirOwn)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*", "", true},         {"?", "", false},   {"a*b*c", "aXbYbZc", true}, {"a*b*c", "aXbYbZ", false},
        {"**a", "a", true},      {"A?C", "abc", true}, {"\xE9", "\xC9", false},  {"*.cs", "x.cs.bak", false},
        {"a", "ab", false},      {"ab", "a", false},
        // The pieces between stars: anchored at both ends, the middle ones
        // taken leftmost, never overlapping one another.
        {"a*ab", "aab", true},   {"ab*ba", "aba", false}, {"*aab*", "aaab", true}, {"?*?", "a", false},
        {"?*?", "ab", true},     {"*?", "", false},       {"*a?c", "abXabc", true}, {"*A?C*", "abab", false},
    };
    for (const auto& [pattern, name, match] : cases)
        EXPECT_EQ(WildcardMatch(pattern, name), match) << pattern << " " << name;
}

TEST(NameSelection, PiecesLongerThanAWordMatchLikeShortOnes)
{
    const std::string run(100, 'a');
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"*" + run + "?b*", std::string(150, 'a') + "b", true},
        {"*" + run + "?b*", std::string(99, 'a') + "xb", false},
        {"x*" + run + "B", "x" + std::string(130, 'A') + "b", true},
        {"*" + run + "*" + run, std::string(199, 'a'), false},
        {"*" + run + "*" + run, std::string(200, 'a'), true},
        {"*" + std::string(70, '?') + "c*", std::string(70, 'c'), false},
    };
    for (const auto& [pattern, name, match] : cases)
        EXPECT_EQ(WildcardMatch(pattern, name), match) << pattern.size() << " " << name.size();
}

// Names that end where one another end, as entries naming every byte of one
// long name are, answer as each would on its own, in whatever order they come.
TEST(NameSelection, NamesSharingAnEndMatchAsOnTheirOwn)
{
    const std::string block = "a.cs\\xx.cs\\a\\b.cs.x\\.cs";
    for (const std::string pattern : {"*.cs\\*", "*.cs", "?\\*.cs*", "*x*s"}) {
        const Wildcard w(pattern);
        for (const std::size_t step : {1, 7, 5}) {
            // Every start once: forwards, then leaping about.
            for (std::size_t k = 0, i = 0; k < block.size(); ++k, i = (i + step) % block.size()) {
                const std::string_view name = std::string_view(block).substr(i);
                EXPECT_EQ(w.Matches(name), WildcardMatch(pattern, std::string(name))) << pattern << " " << name;
            }
        }
    }
}
