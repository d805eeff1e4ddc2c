// The bash completion of tarnvol, run by bash as the shell would run it.
#ifndef _WIN32
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace tarnwick;
using namespace tarnwick::test;
using Words = std::vector<std::string>;

namespace {

// What _tarnvol offers for `words` with the cursor in the last one, sorted.
Words Offered(const Words& words, const std::string& cwd)
{
    Words args = {"-c",
                  "source \"$1\" || exit 9; shift; COMP_CWORD=$1; shift; COMP_WORDS=(\"$@\"); COMP_LINE=\"$*\"; "
                  "COMP_POINT=${#COMP_LINE}; _tarnvol; printf '%s\\n' \"${COMPREPLY[@]}\"",
                  "bash", std::string(TARNWICK_SOURCE_DIR) + "/tools/tarnvol/tarnvol.bash-completion",
                  std::to_string(words.size() - 1)};
    args.insert(args.end(), words.begin(), words.end());
    const ToolRun r = RunTool("/bin/bash", args, cwd);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    Words lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

TEST(TarnvolCompletion, OffersCommandsOptionsAndStoredNames)
{
    if (!Exists("/bin/bash"))
        GTEST_SKIP() << "no bash";
    TempDir dir;
    Files files;
    for (const char* name : {"top.cs", "Scripts\\AI\\Bot.cs", "Scripts\\a.cs", "two  blanks.cs", "Skins\\x.bmp"})
        files.emplace_back(name, "data");
    WriteVolume(dir / "game.vol", files);
    MakeFolder(dir / "dest");
    WriteFile(dir / "notes.txt", "");
    const std::string tv = ToolPath("tarnvol");
    const std::pair<Words, Words> cases[] = {
        {{tv, ""}, {"--help", "--version", "cat", "extract", "info", "list", "pack", "test"}},
        {{tv, "e"}, {"extract"}},
        {{tv, "list", "game.vol", "-"}, {"--files-from=", "--help", "--long", "--null", "--verbose", "-0", "-T",
                                               "-l", "-v"}},
        {{tv, "extract", "--f"}, {"--files-from=", "--flat"}},
        {{tv, "cat", "ga"}, {"game.vol"}},                                // volumes
        {{tv, "cat", "game.vol", ""}, {"Scripts/", "Skins/", "top.cs", "two\\ \\ blanks.cs"}},
        {{tv, "cat", "game.vol", "Scripts/"}, {"Scripts/AI/", "Scripts/a.cs"}},
        {{tv, "test", "-T", "notes.txt", "game.vol", "Sk"}, {"Skins/"}},  // a value skipped
        {{tv, "list", "-T", "no"}, {"notes.txt"}},                        // the value is a file
        {{tv, "extract", "game.vol", "de"}, {"dest"}},                    // DEST is a folder
        {{tv, "extract", "--flat", "game.vol", "dest", "S"}, {"Scripts/", "Skins/"}},
        {{tv, "list", "--", "game.vol", "-x"}, {}},                       // after --, no option
        {{tv, "cat", "no-such.vol", ""}, {}},
        {{tv, "info", "game.vol", ""}, {}},
    };
    for (const auto& [words, offered] : cases)
        EXPECT_EQ(Offered(words, dir.Path()), offered) << words[1] << " " << words.back();
}
#endif
