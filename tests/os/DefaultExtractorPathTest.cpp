// Where the program looks for its extractor: beside itself for a portable
// copy, in PREFIX/libexec/tarnwick for an installed one (Debian's own
// `extract` package owns /usr/bin/extract).
#include "os/System.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

using namespace tarnwick;
using tarnwick::test::TempDir;

namespace {

#ifdef _WIN32
const std::string kExtractor = "extract.exe";
#else
const std::string kExtractor = "extract";
#endif

struct Layout {
    const char* name;
    std::vector<std::string> files, folders; // below the test folder, as are these two
    std::string programFolder, expected;
    bool posixOnly;
};

} // namespace

TEST(DefaultExtractorPath, BesideTheProgramElseWhereAnInstallPutsIt)
{
    const std::string libexec = "usr/libexec/tarnwick/" + kExtractor;
    const Layout layouts[] = {
        {"a portable copy", {"app/" + kExtractor}, {}, "app", "app/" + kExtractor, false},
        {"a portable copy wins over an installed extractor", {"usr/bin/" + kExtractor, libexec}, {}, "usr/bin",
         "usr/bin/" + kExtractor, false},
        {"installed", {libexec}, {"usr/bin"}, "usr/bin", libexec, true},
        {"installed, the folder spelled with a trailing separator", {libexec}, {"usr/bin"}, "usr/bin/", libexec, true},
        {"nowhere: the path beside the program, for the message", {}, {"usr/bin"}, "usr/bin", "usr/bin/" + kExtractor,
         false},
        // A folder of that name is no extractor.
        {"a folder where the extractor would be", {}, {"usr/bin", libexec}, "usr/bin", "usr/bin/" + kExtractor, false},
        // Another program's libexec folder is not ours.
        {"only another package's libexec", {"usr/libexec/" + kExtractor}, {"usr/bin"}, "usr/bin",
         "usr/bin/" + kExtractor, false},
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
        // Windows answers with its own separators.
        auto slashes = [](std::string p) {
            std::replace(p.begin(), p.end(), '\\', '/');
            return p;
        };
        EXPECT_EQ(slashes(os::DefaultExtractorPath(dir / l.programFolder)), slashes(dir / l.expected)) << l.name;
    }
}

#ifndef _WIN32
TEST(UserDownloadFolder, TheUsersOwnFolderThatExists)
{
    struct Case {
        const char* name;
        const char* xdgDownload; // nullptr: unset; below the test folder
        const char* userDirs;    // the line in user-dirs.dirs, nullptr: no file
        std::vector<std::string> folders;
        std::string expected;    // below the test folder
    };
    const Case cases[] = {
        {"named in the environment", "dl", nullptr, {"home", "dl"}, "dl"},
        {"named in user-dirs.dirs from $HOME", nullptr, "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"", {"home/Downloads"},
         "home/Downloads"},
        {"an environment folder that is gone falls back", "gone", "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"",
         {"home/Downloads"}, "home/Downloads"},
        {"a user-dirs folder that is gone: home", nullptr, "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"", {"home"}, "home"},
        {"a relative user-dirs value: home", nullptr, "XDG_DOWNLOAD_DIR=\"Downloads\"", {"home", "Downloads"},
         "home"},
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
