// Which copies of the program count as installed: those that keep their
// settings with the user and start in the user's folders, whoever runs
// them. A copy run from its build folder, or unpacked anywhere with its
// extractor beside it, keeps the classic ways.
#include "os/System.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace tarnwick;
using tarnwick::test::TempDir;

#ifndef _WIN32
TEST(InstalledCopy, AProgramInASystemFolderIsInstalledWhoeverRunsIt)
{
    // Only the path is looked at: nothing here is written, and root, who
    // may write /usr/bin, gets the same answers.
    const std::pair<const char*, bool> folders[] = {
        {"/usr/bin", true},
        {"/usr/games", true},
        {"/usr/local/bin", true},
        {"/usr/lib/tarnwick", true},
        {"/bin", true},
        {"/sbin", true},
        {"/opt/tarnwick/bin", true},
        {"/snap/tarnwick/12/bin", true},
        {"/usr/bin/", true},
        {"//usr//bin", true},
        {"/usrlocal/bin", false},
        {"/optional/tarnwick", false},
        {"/home/user/tarnwick/build", false},
        {"/tmp/usr/bin", false},
        {"/", false},
        {"", false},
        {"usr/bin", false}, // relative: no place of its own
    };
    for (const auto& [folder, system] : folders) {
        EXPECT_EQ(os::IsSystemFolder(folder), system) << folder;
        if (system) {
            EXPECT_TRUE(os::IsInstalledCopy(folder)) << folder;
        }
    }
}

TEST(InstalledCopy, ACopyElsewhereIsInstalledByItsExtractorsPlace)
{
    struct Layout {
        const char* name;
        std::vector<std::string> files; // below the test folder, as is the program's
        std::string programFolder;
        bool installed;
    };
    const Layout layouts[] = {
        {"PREFIX/bin with PREFIX/libexec/tarnwick/extract", {"usr/libexec/tarnwick/extract"}, "usr/bin", true},
        {"the extractor beside it", {"app/extract"}, "app", false},
        {"its own extractor beside it wins over an installed one", {"usr/bin/extract", "usr/libexec/tarnwick/extract"},
         "usr/bin", false},
        {"a build folder whose extractor is not built yet", {"build/CMakeCache.txt"}, "build", false},
        {"another program's libexec", {"usr/libexec/extract"}, "usr/bin", false},
        // A folder the user cannot write keeps nothing of the user's.
        {"a folder that is gone", {}, "gone/bin", true},
    };
    for (const Layout& l : layouts) {
        TempDir dir;
        for (const std::string& f : l.files)
            test::WriteFile(dir / f, "#!/bin/sh\n");
        if (l.programFolder != "gone/bin")
            std::filesystem::create_directories(dir / l.programFolder);
        EXPECT_EQ(os::IsInstalledCopy(dir / l.programFolder), l.installed) << l.name;
    }
}
#endif
