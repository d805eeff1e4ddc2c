// A DLL extracted into the program's folder (the default destination) must
// not be what a later LoadLibrary by name finds, in this program or in a
// system library that loads a helper late.
#include "os/System.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

TEST(Win32LibrarySearch, ADllBesideTheProgramIsFoundOnlyBeforeTheSearchIsRestricted)
{
    const std::string folder = tarnwick::os::ProgramFolder();
    struct Case {
        const char* name;
        bool restricted;
    };
    // The first row shows that a load by name does reach the program's folder.
    const Case cases[] = {{"tarnwick-planted-a.dll", false}, {"tarnwick-planted-b.dll", true}};
    for (const Case& c : cases) {
        const std::string planted = folder + "\\" + c.name;
        std::filesystem::copy_file(TARNWICK_PLANTED_DLL, planted, std::filesystem::copy_options::overwrite_existing);
        if (c.restricted)
            tarnwick::os::RestrictLibrarySearch();
        HMODULE module = ::LoadLibraryA(c.name);
        const bool loaded = module != nullptr;
        if (module)
            ::FreeLibrary(module);
        std::error_code ignored;
        std::filesystem::remove(planted, ignored);
        EXPECT_EQ(loaded, !c.restricted) << c.name;
    }
}
