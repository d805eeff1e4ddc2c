#include "platform/os/CommandLine.h"

#include <gtest/gtest.h>

using tarnwick::os::SplitWindowsCommandLine;
using V = std::vector<std::string>;

TEST(SplitWindowsCommandLine, ExtractorLinesOfBothForms)
{
    // The job quotes the extractor; the reader leaves it bare. Either way
    // the stored name arrives bare and may hold backslashes.
    EXPECT_EQ(SplitWindowsCommandLine(R"("C:\x y\extract.exe" "C:\a.vol" scripts\ai\bot.cs "D:\out\bot.cs")"),
              (V{R"(C:\x y\extract.exe)", R"(C:\a.vol)", R"(scripts\ai\bot.cs)", R"(D:\out\bot.cs)"}));
    EXPECT_EQ(SplitWindowsCommandLine(R"(/bin/extract "/v.vol" a b.cs "/out/a b.cs")"),
              (V{"/bin/extract", "/v.vol", "a", "b.cs", "/out/a b.cs"}));
}

TEST(SplitWindowsCommandLine, BackslashesBeforeQuotes)
{
    // A destination ending in a backslash, quoted, swallows the quote: the
    // rule the extractor sees on Windows too.
    EXPECT_EQ(SplitWindowsCommandLine(R"(p "C:\out\" x)"), (V{"p", R"(C:\out" x)"}));
    EXPECT_EQ(SplitWindowsCommandLine(R"(p "C:\out\\" x)"), (V{"p", R"(C:\out\)", "x"}));
    EXPECT_EQ(SplitWindowsCommandLine(R"(p a\\\"b)"), (V{"p", R"(a\"b)"}));
    EXPECT_EQ(SplitWindowsCommandLine(R"(p "a""b")"), (V{"p", R"(a"b)"}));
}

TEST(SplitWindowsCommandLine, BlanksAndEmptyArguments)
{
    EXPECT_EQ(SplitWindowsCommandLine("   "), V{});
    EXPECT_EQ(SplitWindowsCommandLine("p  \"\"  x\t"), (V{"p", "", "x"}));
    EXPECT_EQ(SplitWindowsCommandLine(R"("C:\a b\p.exe"rest)"), (V{R"(C:\a b\p.exerest)"}));
}
