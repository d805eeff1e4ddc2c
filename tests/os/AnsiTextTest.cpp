// Stored names are Windows-1252 bytes: they must come through display text
// and back without turning into another name.
#include "os/AnsiText.h"
#include "os/PathStyle.h"
#include "os/ReplaceNames.h"

#include <gtest/gtest.h>

#include <set>

using namespace tarnwick;

TEST(AnsiText, EveryByteHasItsOwnTextAndComesBack)
{
    std::set<std::string> seen;
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b)), text = AnsiToUtf8(one);
        EXPECT_TRUE(IsUtf8(text)) << b;
        EXPECT_TRUE(seen.insert(text).second) << "two bytes give the same text: " << b;
        EXPECT_EQ(Utf8ToAnsi(text), one) << b;
    }
    // Latin-1 range, the euro and Y-diaeresis slots, an unassigned slot, ASCII.
    const std::pair<const char*, const char*> known[] = {
        {"caf\xE9.cs", "caf\xC3\xA9.cs"}, {"\x80", "\xE2\x82\xAC"}, {"\x9F", "\xC5\xB8"}, {"\x81", "\xC2\x81"},
        {"a\\b", "a\\b"}};
    for (const auto& [ansi, utf8] : known)
        EXPECT_EQ(AnsiToUtf8(ansi), utf8) << ansi;
    EXPECT_EQ(StoredNameToPath("maps\\caf\xE9.mis", PathStyle::Posix), "maps/caf\xC3\xA9.mis");
    EXPECT_EQ(StoredNameToPath("maps\\caf\xE9.mis", PathStyle::Windows), "maps\\caf\xE9.mis");
}

TEST(AnsiText, TextWithoutABytePatternIsRefused)
{
    // Cut short, a bad continuation, overlong, a surrogate, no UTF-8 byte; and
    // good UTF-8 that the code page has no byte for.
    const std::pair<const char*, bool> refused[] = {{"\xC3", false},         {"\xC3\x28", false}, {"\xC0\xAF", false},
                                                    {"\xED\xA0\x80", false}, {"\xFF", false},     {"\xF0\x9F\x98\x80", true}};
    for (const auto& [text, utf8] : refused) {
        EXPECT_FALSE(Utf8ToAnsi(text).has_value()) << text;
        EXPECT_EQ(IsUtf8(text), utf8) << text;
    }
}

TEST(ReplaceNames, ShortHiddenSiblingsOneSetPerFile)
{
    const std::string out = "/dest/sub/" + std::string(255, 'n');
    for (const std::string& hidden : {ReplaceTempName(out, PathStyle::Posix), ReplaceKeepName(out, PathStyle::Posix)}) {
        EXPECT_EQ(hidden.rfind("/dest/sub/.", 0), 0u) << hidden;
        EXPECT_LE(hidden.size() - 10, 32u) << hidden;
    }
    // An earlier version's leftovers must still be found by these names.
    EXPECT_EQ(ReplaceTempName("/d/a.cs", PathStyle::Posix), "/d/.tw6aa0848279e02d44.part");
    EXPECT_EQ(ReplaceKeepName("/d/a.cs", PathStyle::Posix), "/d/.tw6aa0848279e02d44.old");
    EXPECT_NE(ReplaceKeepName("/d/a.cs", PathStyle::Posix), ReplaceKeepName("/d/b.cs", PathStyle::Posix));
    // One file on Windows, whatever case it is named in; two on POSIX.
    EXPECT_EQ(ReplaceKeepName("C:\\d\\A.cs", PathStyle::Windows), ReplaceKeepName("C:\\d\\a.CS", PathStyle::Windows));
    EXPECT_NE(ReplaceKeepName("/d/A.cs", PathStyle::Posix), ReplaceKeepName("/d/a.cs", PathStyle::Posix));
}
