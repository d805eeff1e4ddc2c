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
    // The first row shows that a load by name does reach the program's folder.
    for (const auto& [name, restricted] : {std::pair{"tarnwick-planted-a.dll", false}, {"tarnwick-planted-b.dll", true}}) {
        const std::string planted = folder + "\\" + name;
        std::filesystem::copy_file(TARNWICK_PLANTED_DLL, planted, std::filesystem::copy_options::overwrite_existing);
        if (restricted)
            tarnwick::os::RestrictLibrarySearch();
        HMODULE module = ::LoadLibraryA(name);
        if (module)
            ::FreeLibrary(module);
        std::error_code ignored;
        std::filesystem::remove(planted, ignored);
        EXPECT_EQ(module != nullptr, !restricted) << name;
    }
}
