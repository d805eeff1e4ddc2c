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
        const std::string one(1, static_cast<char>(b));
        const std::string text = AnsiToUtf8(one);
        EXPECT_TRUE(IsUtf8(text)) << b;
        EXPECT_TRUE(seen.insert(text).second) << "two bytes give the same text: " << b;
        EXPECT_EQ(Utf8ToAnsi(text), one) << b;
    }
    const std::pair<const char*, const char*> known[] = {
        {"caf\xE9.cs", "caf\xC3\xA9.cs"},   {"\x80", "\xE2\x82\xAC"}, {"\x9F", "\xC5\xB8"},
        {"\x81", "\xC2\x81"},              {"a\\b", "a\\b"},         {"\xFF", "\xC3\xBF"},
    };
    for (const auto& [ansi, utf8] : known)
        EXPECT_EQ(AnsiToUtf8(ansi), utf8) << ansi;
}

TEST(AnsiText, TextWithoutABytePatternIsRefused)
{
    const char* const refused[] = {"\xC3",          "\xC3\x28",      "\xC0\xAF",     "\xE2\x82",
                                   "\xED\xA0\x80", "\xE4\xB8\xAD",  "\xF0\x9F\x98\x80", "\xFF"};
    for (const char* text : refused)
        EXPECT_FALSE(Utf8ToAnsi(text).has_value()) << text;
    EXPECT_TRUE(IsUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsUtf8("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(IsUtf8("\xED\xA0\x80")) << "surrogate";
}

TEST(AnsiText, NamesBecomePathsOfTheirStyle)
{
    EXPECT_EQ(StoredNameToPath("maps\\caf\xE9.mis", PathStyle::Posix), "maps/caf\xC3\xA9.mis");
    EXPECT_EQ(StoredNameToPath("maps\\caf\xE9.mis", PathStyle::Windows), "maps\\caf\xE9.mis");
}

TEST(ReplaceNames, ShortHiddenSiblingsOneSetPerFile)
{
    const std::string longName(255, 'n');
    const std::string out = "/dest/sub/" + longName;
    for (const std::string& hidden : {ReplaceTempName(out, PathStyle::Posix), ReplaceKeepName(out, PathStyle::Posix)}) {
        EXPECT_EQ(hidden.rfind("/dest/sub/.", 0), 0u) << hidden;
        EXPECT_LE(hidden.size() - 10, 32u) << hidden;
    }
    // ".tw", the FNV-1a tag of the name, then what the file is for: an
    // earlier version's leftovers must still be found by these names.
    EXPECT_EQ(ReplaceTempName("/d/a.cs", PathStyle::Posix), "/d/.tw6aa0848279e02d44.part");
    EXPECT_EQ(ReplaceKeepName("/d/a.cs", PathStyle::Posix), "/d/.tw6aa0848279e02d44.old");
    EXPECT_NE(ReplaceKeepName("/d/a.cs", PathStyle::Posix), ReplaceKeepName("/d/b.cs", PathStyle::Posix));
    // One file on Windows, whatever case it is named in; two on POSIX.
    EXPECT_EQ(ReplaceKeepName("C:\\d\\A.cs", PathStyle::Windows), ReplaceKeepName("C:\\d\\a.CS", PathStyle::Windows));
    EXPECT_NE(ReplaceKeepName("/d/A.cs", PathStyle::Posix), ReplaceKeepName("/d/a.cs", PathStyle::Posix));
}
