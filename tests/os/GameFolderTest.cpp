// Where the game keeps its volumes on a Wine prefix's c: drive, found by a
// look that stays short whatever the drive holds.
#include "os/GameFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace tarnwick;
using tarnwick::test::TempDir;
namespace fs = std::filesystem;

static std::string Slashes(std::string p)
{
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

TEST(GameFolder, TheGamesVolumesOrItsFolder)
{
    struct Case {
        const char* name;
        std::vector<std::string> files; // below the drive
        std::string expected;           // below the drive; "" none
    };
    const Case cases[] = {
        {"the usual place, volumes in base", {"Dynamix/Tribes/base/entities.vol", "Dynamix/Tribes/Tribes.exe"},
         "Dynamix/Tribes/base"},
        {"under Program Files (x86)", {"Program Files (x86)/Dynamix/Tribes/base/scripts.vol"},
         "Program Files (x86)/Dynamix/Tribes/base"},
        {"any case, as on Windows", {"GAMES/STARSIEGE TRIBES/BASE/ENTITIES.VOL"}, "GAMES/STARSIEGE TRIBES/BASE"},
        {"a Dynamix/Tribes folder without volumes", {"dynamix/tribes/Tribes.exe"}, "dynamix/tribes"},
        {"a base folder without volumes is no game", {"Games/Other/base/readme.txt"}, ""},
        {"a Tribes folder outside Dynamix without volumes", {"Games/Tribes/readme.txt"}, ""},
        {"the shallower of two", {"a/b/Tribes/base/x.vol", "Tribes/base/y.vol"}, "Tribes/base"},
        {"too deep to look for", {"a/b/c/Dynamix/Tribes/base/x.vol"}, ""},
        // Nobody installs the game there, and it is the drive's largest tree.
        {"not in the system's own folder", {"windows/Dynamix/Tribes/base/x.vol"}, ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        fs::create_directories(dir / "drive_c");
        for (const std::string& f : c.files)
            test::WriteFile(dir / ("drive_c/" + f), "");
        const std::string found = os::FindGameFolder({dir / "drive_c"});
        EXPECT_EQ(Slashes(found), c.expected.empty() ? "" : Slashes(dir / ("drive_c/" + c.expected))) << c.name;
    }
}

TEST(GameFolder, TheFirstDriveThatHoldsItAndNoneThatIsGone)
{
    TempDir dir;
    test::WriteFile(dir / "two/Dynamix/Tribes/base/b.vol", "");
    test::WriteFile(dir / "three/Dynamix/Tribes/base/c.vol", "");
    fs::create_directories(dir / "one"); // an empty drive
    EXPECT_EQ(Slashes(os::FindGameFolder({dir / "gone", dir / "one", dir / "two", dir / "three"})),
              Slashes(dir / "two/Dynamix/Tribes/base"));
    EXPECT_EQ(os::FindGameFolder({}), "");
}

#ifndef _WIN32
TEST(GameFolder, ADriveThatLoopsOrIsHugeEndsTheLookSoon)
{
    TempDir dir;
    const std::string drive = dir / "drive_c";
    fs::create_directories(drive + "/Apps");
    fs::create_symlink("..", drive + "/Apps/Again");
    fs::create_symlink(drive, drive + "/Back");
    fs::create_symlink("/", drive + "/Root");
    test::WriteFile(drive + "/Dynamix/Tribes/base/x.vol", "");
    EXPECT_EQ(os::FindGameFolder({drive}), drive + "/Dynamix/Tribes/base");

    // Thousands of folders before it: the look gives up rather than read them all.
    const std::string huge = dir / "huge";
    for (int i = 0; i < 1000; ++i)
        fs::create_directories(huge + "/A" + std::to_string(1000 + i) + "/sub");
    test::WriteFile(huge + "/Z/Dynamix/Tribes/base/x.vol", "");
    EXPECT_EQ(os::FindGameFolder({huge}), "");
}
#endif
