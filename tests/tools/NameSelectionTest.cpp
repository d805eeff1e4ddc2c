// How names a person gives select stored entries: separators, wildcards,
// case, folders, and the exact bytes of names that look like patterns.
#include "NameSelection.h"

#include <gtest/gtest.h>

using namespace tarnvol;
using Names = std::vector<std::string>;

namespace {

const Names kStored = {
    "top.cs",                 // 0
    "Scripts\\AI\\Bot.cs",    // 1
    "Scripts\\a.cs",          // 2
    "scripts\\b.CS",          // 3
    "Skins\\LArmor.bmp",      // 4
    "caf\xE9.cs",             // 5
    "odd*name?.cs",           // 6  a hostile volume may store wildcards
    "slash/inside.cs",        // 7  and a '/'
    "Scripts",                // 8  a file named like a folder
    "CAF\xC9.cs",             // 9  upper case outside ASCII: another name
    "ScriptsX\\c.cs",         // 10
};

// The stored names an outcome chose, for readable failures.
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
    std::vector<std::string_view> stored(kStored.begin(), kStored.end());
    const std::pair<Names, Names> cases[] = {
        {{"top.cs"}, {"top.cs"}},
        {{"TOP.CS"}, {"top.cs"}},                                   // ASCII case ignored
        {{"Scripts/AI/Bot.cs"}, {"Scripts\\AI\\Bot.cs"}},           // '/' for '\'
        {{"scripts\\ai\\bot.CS"}, {"Scripts\\AI\\Bot.cs"}},
        {{"/Scripts//AI/Bot.cs"}, {"Scripts\\AI\\Bot.cs"}},         // doubled, leading separators
        {{"Scripts/AI/"}, {"Scripts\\AI\\Bot.cs"}},                 // a folder, closing separator
        {{"scripts/ai"}, {"Scripts\\AI\\Bot.cs"}},
        // A folder in either case, and a file of the same name exactly.
        {{"SCRIPTS"}, {"Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "scripts\\b.CS", "Scripts"}},
        {{"Scripts"}, {"Scripts"}},                                 // its exact bytes name the file
        {{"*.cs"}, {"top.cs", "Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "scripts\\b.CS", "caf\xE9.cs", "odd*name?.cs",
                    "slash/inside.cs", "CAF\xC9.cs", "ScriptsX\\c.cs"}},
        {{"scripts/?.cs"}, {"Scripts\\a.cs", "scripts\\b.CS"}},
        // A name ending in 's', or a folder that does.
        {{"S*s"}, {"Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "scripts\\b.CS", "Skins\\LArmor.bmp", "slash/inside.cs",
                   "Scripts", "ScriptsX\\c.cs"}},
        {{"*\\*\\*"}, {"Scripts\\AI\\Bot.cs"}},
        {{"sk?ns/*.BMP"}, {"Skins\\LArmor.bmp"}},
        {{"caf\xE9.cs"}, {"caf\xE9.cs"}},                           // bytes above 0x7F as they are
        {{"CAF\xE9.cs"}, {"caf\xE9.cs"}},
        {{"odd*name?.cs"}, {"odd*name?.cs"}},                       // exact bytes before wildcards
        {{"slash/inside.cs"}, {"slash/inside.cs"}},                 // exact bytes before '/' as '\'
        // Stored order, each once, whatever the order and overlap of patterns.
        {{"top.cs", "Scripts/a.cs", "TOP.cs", "*"}, Names(kStored.begin(), kStored.end())},
        {{"Skins", "top.cs"}, {"top.cs", "Skins\\LArmor.bmp"}},
    };
    for (const auto& [patterns, chosen] : cases) {
        const NameSelection s = SelectNames(stored, patterns);
        EXPECT_EQ(Chosen(s), chosen) << patterns[0];
        EXPECT_TRUE(s.unmatched.empty()) << patterns[0];
    }
}

TEST(NameSelection, NamesThatSelectNothingAreReported)
{
    std::vector<std::string_view> stored(kStored.begin(), kStored.end());
    const struct {
        Names patterns;
        std::vector<std::size_t> unmatched;
        std::size_t chosen;
    } cases[] = {
        {{"nothere.cs"}, {0}, 0},
        {{"top.cs", "nothere.cs", "*.bmp", "x*"}, {1, 3}, 2},
        {{"Scripts/A"}, {0}, 0},     // no name is a prefix of another's piece
        {{"Script"}, {0}, 0},
        {{"top.cs/"}, {}, 1},        // a closing separator still names the file
        {{"Scripts\\AI\\Bot.cs\\x"}, {0}, 0},
        {{"caf\xC3\xA9.cs"}, {0}, 0}, // UTF-8 is converted before, never here
    };
    for (const auto& c : cases) {
        const NameSelection s = SelectNames(stored, c.patterns);
        EXPECT_EQ(s.unmatched, c.unmatched) << c.patterns[0];
        EXPECT_EQ(s.chosen.size(), c.chosen) << c.patterns[0];
    }
}

TEST(NameSelection, WildcardsOnTheirOwn)
{
    const struct {
        std::string pattern, name;
        bool match;
    } cases[] = {
        {"*", "", true},          {"?", "", false},           {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false}, {"*a", "bbba", true},     {"**a", "a", true},
        {"A?C", "abc", true},     {"\xE9", "\xC9", false},    {"*.cs", "x.cs.bak", false},
        {"*\\*", "a\\b", true},   {"a", "ab", false},         {"ab", "a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}
