// The drives of the user's Wine prefixes, in prefixes the tests make: as
// Wine makes them, and as a broken or hostile one may be.
#include "os/WineDrives.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace tarnwick;
using tarnwick::test::ScopedEnv;
using tarnwick::test::TempDir;
namespace fs = std::filesystem;

#ifndef _WIN32
namespace {

// "letter label -> folder" of each drive, for one comparison of a whole list.
std::vector<std::string> Shown()
{
    std::vector<std::string> out;
    for (const os::WineDrive& d : os::UserWineDrives())
        out.push_back(std::string(1, d.letter) + " " + d.label + " -> " + d.folder);
    return out;
}

std::string Real(const std::string& path) { return fs::canonical(path).string(); }

} // namespace

TEST(WineDrives, OnlyLetteredEntriesThatLeadToAFolder)
{
    TempDir dir;
    const std::string wine = dir / "home/.wine", devices = wine + "/dosdevices";
    test::MakeWinePrefix(wine);
    fs::create_directories(dir / "disc");
    test::WriteFile(dir / "file", "");
    const std::pair<std::string, std::string> links[] = {
        {"z:", "/"},             // the root, which the list has already
        {"com1", "/dev/ttyS0"},  // a serial port, no drive
        {"d::", "/dev/sr0"},     // the raw device behind a drive
        {"e:", dir / "gone"},    // dangling
        {"f:", "f:"},            // a loop onto itself
        {"g:", "h:"},            // a loop of two
        {"h:", "g:"},
        {"i:", dir / "file"},    // a file
        {"j:", dir / "disc"},    // a folder elsewhere: a drive
        {"k:", "../drive_c"},    // c: again
        {"cc:", dir / "disc"},   // no drive letter
    };
    for (const auto& [name, target] : links)
        fs::create_symlink(target, devices + "/" + name);
    // Thousands of entries are no reason to look at more than 26 names.
    for (int i = 0; i < 2000; ++i)
        fs::create_symlink("../drive_c", devices + "/x" + std::to_string(i));
    ScopedEnv env;
    env.Set("HOME", dir / "home");
    env.Unset("WINEPREFIX");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"c c: (wine) -> " + Real(wine + "/drive_c"),
                                                 "j j: (wine) -> " + Real(dir / "disc")}));
}

TEST(WineDrives, WinePrefixFirstThenTheUsualOneEachOnce)
{
    struct Case {
        const char* name;
        const char* winePrefix; // below the test folder; nullptr: unset
        bool usualPrefix;       // whether ~/.wine exists
        // Each drive's label ("%" standing for the test folder) and folder below the test folder.
        std::vector<std::pair<std::string, std::string>> expected;
    };
    const std::pair<std::string, std::string> usual{"c: (wine)", "home/.wine/drive_c"};
    const Case cases[] = {
        {"only ~/.wine", nullptr, true, {usual}},
        {"$WINEPREFIX first, named as the user would", "home/games/pfx", true,
         {{"c: (wine ~/games/pfx)", "home/games/pfx/drive_c"}, usual}},
        {"$WINEPREFIX outside the home", "elsewhere/pfx", false, {{"c: (wine %/elsewhere/pfx)", "elsewhere/pfx/drive_c"}}},
        {"$WINEPREFIX naming ~/.wine through a link", "home/wine-link", true, {usual}},
        {"$WINEPREFIX relative, which Wine refuses", "relative", true, {usual}},
        {"$WINEPREFIX gone", "home/gone", true, {usual}},
        {"no prefix at all", nullptr, false, {}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        fs::create_directories(dir / "home");
        if (c.usualPrefix)
            test::MakeWinePrefix(dir / "home/.wine");
        fs::create_symlink(".wine", dir / "home/wine-link");
        for (const char* p : {"home/games/pfx", "elsewhere/pfx", "relative"})
            test::MakeWinePrefix(dir / p);
        ScopedEnv env;
        env.Set("HOME", dir / "home");
        // A relative $WINEPREFIX would be tried from the folder that holds it.
        const fs::path before = fs::current_path();
        fs::current_path(dir.Path());
        if (!c.winePrefix)
            env.Unset("WINEPREFIX");
        else
            env.Set("WINEPREFIX", std::string(c.winePrefix) == "relative" ? "relative" : dir / c.winePrefix);
        std::vector<std::string> expected;
        for (auto [label, folder] : c.expected) {
            if (const std::size_t at = label.find('%'); at != std::string::npos)
                label.replace(at, 1, dir.Path());
            expected.push_back("c " + label + " -> " + Real(dir / folder));
        }
        const std::vector<std::string> shown = Shown();
        fs::current_path(before);
        EXPECT_EQ(shown, expected) << c.name;
    }
}

TEST(WineDrives, ABrokenPrefixHasNoDrives)
{
    const std::pair<const char*, void (*)(const std::string&)> prefixes[] = {
        {"the prefix a file", [](const std::string& p) { test::WriteFile(p, ""); }},
        {"the prefix a dangling link", [](const std::string& p) { fs::create_symlink(p + "-gone", p); }},
        {"the prefix a loop", [](const std::string& p) { fs::create_symlink(".wine", p); }},
        {"dosdevices a file", [](const std::string& p) { test::WriteFile(p + "/dosdevices", ""); }},
        {"dosdevices a loop",
         [](const std::string& p) { fs::create_directories(p), fs::create_symlink("dosdevices", p + "/dosdevices"); }},
        {"no dosdevices", [](const std::string& p) { fs::create_directories(p + "/drive_c"); }},
        {"c: leading into a loop",
         [](const std::string& p) {
             fs::create_directories(p + "/dosdevices");
             fs::create_symlink("loop/x", p + "/dosdevices/c:");
             fs::create_symlink("loop", p + "/dosdevices/loop");
         }},
    };
    for (const auto& [name, make] : prefixes) {
        TempDir dir;
        fs::create_directories(dir / "home");
        make(dir / "home/.wine");
        ScopedEnv env;
        env.Set("HOME", dir / "home");
        env.Unset("WINEPREFIX");
        EXPECT_TRUE(os::UserWineDrives().empty()) << name;
    }
}
#endif
