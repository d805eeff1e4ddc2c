// Where the program looks for its extractor, and whether it is an installed
// copy (settings with the user, starts in the user's folders): beside itself
// for a portable copy, in PREFIX/libexec/tarnwick for an installed one
// (Debian's own `extract` package owns /usr/bin/extract).
#include "os/System.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

using namespace tarnwick;
using tarnwick::test::TempDir;

#ifdef _WIN32
const std::string kExtractor = "extract.exe";
#else
const std::string kExtractor = "extract";
#endif

TEST(DefaultExtractorPath, BesideTheProgramElseWhereAnInstallPutsIt)
{
    struct Layout {
        const char* name;
        std::vector<std::string> files, folders; // below the test folder, as are these two
        std::string programFolder, expected;
        bool installed, posixOnly;
    };
    const std::string libexec = "usr/libexec/tarnwick/" + kExtractor, bin = "usr/bin/" + kExtractor;
    const Layout layouts[] = {
        {"a portable copy", {"app/" + kExtractor}, {}, "app", "app/" + kExtractor, false, false},
        {"a portable copy wins over an installed extractor", {bin, libexec}, {}, "usr/bin", bin, false, false},
        {"installed", {libexec}, {"usr/bin"}, "usr/bin", libexec, true, true},
        {"installed, spelled with a trailing separator", {libexec}, {"usr/bin"}, "usr/bin/", libexec, true, true},
        {"nowhere: the path beside the program, for the message", {}, {"usr/bin"}, "usr/bin", bin, false, false},
        {"a folder where the extractor would be", {}, {"usr/bin", libexec}, "usr/bin", bin, false, false},
        {"only another package's libexec", {"usr/libexec/" + kExtractor}, {"usr/bin"}, "usr/bin", bin, false, false},
        // A folder the user cannot write keeps nothing of the user's.
        {"a program folder that is gone", {}, {}, "gone/bin", "gone/bin/" + kExtractor, true, false},
    };
    const auto slashes = [](std::string p) { // Windows answers with its own separators
        std::replace(p.begin(), p.end(), '\\', '/');
        return p;
    };
    for (const Layout& l : layouts) {
#ifdef _WIN32
        if (l.posixOnly)
            continue;
#endif
        TempDir dir;
        for (const std::string& f : l.files)
            test::WriteFile(dir / f, "#!/bin/sh\n");
        for (const std::string& f : l.folders)
            std::filesystem::create_directories(dir / f);
        EXPECT_EQ(slashes(os::DefaultExtractorPath(dir / l.programFolder)), slashes(dir / l.expected)) << l.name;
#ifndef _WIN32
        EXPECT_EQ(os::IsInstalledCopy(dir / l.programFolder), l.installed) << l.name;
#endif
    }
}

#ifndef _WIN32
TEST(InstalledCopy, AProgramInASystemFolderIsInstalledWhoeverRunsIt)
{
    // Only the path is looked at: root, who may write /usr/bin, gets the same answers.
    const std::pair<const char*, bool> folders[] = {
        {"/usr/bin", true},  {"/bin", true},       {"/opt/tarnwick/bin", true}, {"/snap/tarnwick/12/bin", true},
        {"/usr/bin/", true}, {"//usr//bin", true}, {"/usrlocal/bin", false},    {"/tmp/usr/bin", false},
        {"/", false},        {"", false},          {"usr/bin", false}}; // the last relative: no place of its own
    for (const auto& [folder, system] : folders) {
        EXPECT_EQ(os::IsSystemFolder(folder), system) << folder;
        EXPECT_TRUE(!system || os::IsInstalledCopy(folder)) << folder;
    }
}

TEST(UserDownloadFolder, TheUsersOwnFolderThatExists)
{
    struct Case {
        const char* name;
        const char* xdgDownload; // nullptr: unset; below the test folder
        const char* userDirs;    // the line in user-dirs.dirs, nullptr: no file
        std::vector<std::string> folders;
        std::string expected; // below the test folder
    };
    const char* const home = "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"";
    const Case cases[] = {
        {"named in the environment", "dl", nullptr, {"home", "dl"}, "dl"},
        {"named in user-dirs.dirs from $HOME", nullptr, home, {"home/Downloads"}, "home/Downloads"},
        {"an environment folder that is gone falls back", "gone", home, {"home/Downloads"}, "home/Downloads"},
        {"a user-dirs folder that is gone: home", nullptr, home, {"home"}, "home"},
        {"a relative user-dirs value: home", nullptr, "XDG_DOWNLOAD_DIR=\"Downloads\"", {"home", "Downloads"}, "home"},
        {"nothing named: home", nullptr, nullptr, {"home"}, "home"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const std::string& f : c.folders)
            std::filesystem::create_directories(dir / f);
        test::ScopedEnv env;
        env.Set("HOME", dir / "home");
        env.Set("XDG_CONFIG_HOME", dir / "config");
        c.xdgDownload ? env.Set("XDG_DOWNLOAD_DIR", dir / c.xdgDownload) : env.Unset("XDG_DOWNLOAD_DIR");
        if (c.userDirs)
            test::WriteFile(dir / "config/user-dirs.dirs",
                            std::string("# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n") +
                                c.userDirs + "\n");
        EXPECT_EQ(os::UserDownloadFolder(), dir / c.expected) << c.name;
    }
}
#endif
