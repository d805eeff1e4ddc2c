// A file packed from a UTF-8 disk is stored under its Windows-1252 name, so
// that packing and extracting again gives back the file's own name.
#include "support/RunTool.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace tarnwick::test;
using namespace std::string_literals;

TEST(TarnvolPackNames, TextNamesAreStoredInTheCodePageAndComeBackAsText)
{
    TempDir dir;
    // é and the euro sign have a byte in the code page; the last name has none and is stored as it is.
    for (const std::string name : {"caf\xC3\xA9.cs", "\xE2\x82\xAC" "uro.txt", "han\xE4\xB8\xAD.txt"})
        WriteFile(dir / "src/" + name, name);
    const std::string volume = dir / "v.vol";
    ASSERT_EQ(Tarnvol({"pack", "-C", dir / "src", volume, "."}).exitCode, 0);
    EXPECT_EQ(Tarnvol({"list", "-0", volume}).out, "caf\xE9.cs\0han\xE4\xB8\xAD.txt\0\x80uro.txt\0"s);
    ASSERT_EQ(Tarnvol({"extract", volume, MakeFolder(dir / "out")}).exitCode, 0);
    for (const std::string name : {"caf\xC3\xA9.cs", "\xE2\x82\xAC" "uro.txt"})
        EXPECT_EQ(ReadFile(dir / "out/" + name), name);
}
