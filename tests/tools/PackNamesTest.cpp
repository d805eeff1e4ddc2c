// A file packed from a UTF-8 disk is stored under its Windows-1252 name, so
// that packing and extracting again gives back the file's own name.
#include "support/RunTool.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(TarnvolPackNames, TextNamesAreStoredInTheCodePageAndComeBackAsText)
{
    test::TempDir dir;
    const std::pair<std::string, std::string> files[] = {
        {"caf\xC3\xA9.cs", "caf\xE9.cs"},              // é has a byte in the code page
        {"\xE2\x82\xAC" "uro.txt", "\x80uro.txt"},     // so has the euro sign
        {"han\xE4\xB8\xAD.txt", "han\xE4\xB8\xAD.txt"}, // this has none: kept as it is
    };
    for (const auto& [onDisk, stored] : files)
        test::WriteFile(dir / "src/" + onDisk, onDisk);
    const std::string volume = dir / "v.vol", tarnvol = test::ToolPath("tarnvol");
    ASSERT_EQ(test::RunTool(tarnvol, {"pack", "-C", dir / "src", volume, "."}).exitCode, 0);
    const test::ToolRun listed = test::RunTool(tarnvol, {"list", "-0", volume});
    std::string expected;
    for (const char* name : {"caf\xE9.cs", "han\xE4\xB8\xAD.txt", "\x80uro.txt"})
        expected += std::string(name) + '\0';
    EXPECT_EQ(listed.out, expected);
    test::WriteFile(dir / "out/.keep", "");
    ASSERT_EQ(test::RunTool(tarnvol, {"extract", volume, dir / "out"}).exitCode, 0);
    EXPECT_EQ(test::ReadFile(dir / "out/caf\xC3\xA9.cs"), "caf\xC3\xA9.cs");
    EXPECT_EQ(test::ReadFile(dir / "out/\xE2\x82\xAC" "uro.txt"), "\xE2\x82\xAC" "uro.txt");
}
