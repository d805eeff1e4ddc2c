// The bash completion of tarnvol, run by bash as the shell would run it:
// COMP_WORDS and COMP_CWORD set, _tarnvol called, COMPREPLY printed.
#ifndef _WIN32
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace tarnwick;
using namespace tarnwick::test;
using Words = std::vector<std::string>;

namespace {

const std::string kScript = std::string(TARNWICK_SOURCE_DIR) + "/tools/tarnvol/tarnvol.bash-completion";

// What _tarnvol offers for `words` with the cursor in the last one, sorted.
Words Offered(const Words& words, const std::string& cwd)
{
    Words args = {"-c",
                  "source \"$1\" || exit 9; shift; COMP_CWORD=$1; shift; COMP_WORDS=(\"$@\"); COMP_LINE=\"$*\"; "
                  "COMP_POINT=${#COMP_LINE}; _tarnvol; printf '%s\\n' \"${COMPREPLY[@]}\"",
                  "bash", kScript, std::to_string(words.size() - 1)};
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
    const std::string tarnvol = ToolPath("tarnvol");
    const std::pair<Words, Words> cases[] = {
        {{tarnvol, ""}, {"--help", "--version", "cat", "extract", "info", "list", "pack", "test"}},
        {{tarnvol, "e"}, {"extract"}},
        {{tarnvol, "list", "--n"}, {"--null"}},
        {{tarnvol, "list", "game.vol", "-"}, {"--files-from=", "--help", "--long", "--null", "--verbose", "-0", "-T",
                                             "-l", "-v"}},
        {{tarnvol, "extract", "--f"}, {"--files-from=", "--flat"}},
        {{tarnvol, "cat", "ga"}, {"game.vol"}},                                // volumes
        {{tarnvol, "cat", "game.vol", ""}, {"Scripts/", "Skins/", "top.cs", "two\\ \\ blanks.cs"}},
        {{tarnvol, "cat", "game.vol", "Scripts/"}, {"Scripts/AI/", "Scripts/a.cs"}},
        {{tarnvol, "cat", "game.vol", "Scripts/AI/"}, {"Scripts/AI/Bot.cs"}},
        {{tarnvol, "cat", "-0", "game.vol", "top.cs", "t"}, {"top.cs", "two\\ \\ blanks.cs"}},
        {{tarnvol, "test", "-T", "notes.txt", "game.vol", "Sk"}, {"Skins/"}},  // a value skipped
        {{tarnvol, "list", "-T", "no"}, {"notes.txt"}},                        // the value is a file
        {{tarnvol, "extract", "game.vol", "de"}, {"dest"}},                    // DEST is a folder
        {{tarnvol, "extract", "--flat", "game.vol", "dest", "S"}, {"Scripts/", "Skins/"}},
        {{tarnvol, "list", "--", "game.vol", "-x"}, {}},                       // after --, no option
        {{tarnvol, "cat", "no-such.vol", ""}, {}},
        {{tarnvol, "info", "game.vol", ""}, {}},
    };
    for (const auto& [words, offered] : cases) {
        std::string line;
        for (std::size_t i = 1; i < words.size(); ++i)
            line += " " + words[i];
        EXPECT_EQ(Offered(words, dir.Path()), offered) << line;
    }
}
#endif
