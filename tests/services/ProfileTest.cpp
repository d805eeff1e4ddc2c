// The bytes our own INI editor leaves (other programs share the file, so a
// write changes the one line it means), and the INI object over either system.
#include "services/INI.h"
#include "os/Profile.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

TEST(Profile, WritesChangeOnlyTheLineTheyMean)
{
    test::TempDir dir;
    const std::string ini = dir / "cairnix.ini", head = "; shared\r\n[Other]\r\nPath=C:\\other\r\n\r\n[ Tarnwick ]\r\n";
    const std::string tail = "\r\n[Last]\r\nx=1", shared = head + "  Overwrite = 0\r\n;Splash=1\r\n" + tail;
    const std::tuple<const char*, const char*, const char*, const char*, std::string> cases[] = {
        {nullptr, "Tarnwick", "Splash", "1", "[Tarnwick]\nSplash=1\n"}, // no file yet
        {"[Tarnwick]\nSplash=1\n", "Other", "a", "b", "[Tarnwick]\nSplash=1\n\n[Other]\na=b\n"},
        // The key keeps the file's spelling, the blanks around it go.
        {shared.c_str(), "TARNWICK", "overwrite", "1", head + "Overwrite=1\r\n;Splash=1\r\n" + tail},
        {"[A]\r\nk=same\r\n", "A", "k", "same", "[A]\r\nk=same\r\n"},
        // A new key goes before the blank line that ends its section.
        {shared.c_str(), "Tarnwick", "Splash", "0", head + "  Overwrite = 0\r\n;Splash=1\r\nSplash=0\r\n" + tail},
        {shared.c_str(), "Last", "y", "2", shared + "\r\ny=2"},
        {shared.c_str(), "New", "z", "3", shared + "\r\n\r\n[New]\r\nz=3\r\n"},
        {"[Tarnwick]\nPath=C:\\x\n", "Tarnwick", "Path", "", "[Tarnwick]\nPath=\n"},
    };
    for (const auto& [before, section, key, value, after] : cases) {
        fs::remove(ini);
        if (before)
            test::WriteFile(ini, before);
        ASSERT_TRUE(os::WritePrivateProfileString(section, key, value, ini)) << key;
        EXPECT_EQ(test::ReadFile(ini), after) << "[" << section << "] " << key;
        char buffer[256];
        EXPECT_EQ(std::string(buffer, os::GetPrivateProfileString(section, key, "<default>", buffer, 255, ini)), value)
            << "[" << section << "] " << key;
    }
}

TEST(Profile, FailedWriteLeavesTheOldFileWhole)
{
    test::TempDir dir;
    const std::string ini = dir / "cairnix.ini", big = "[Big]\n" + std::string(1 << 16, 'k') + "=1\n[T]\nPath=old\n";
    test::WriteFile(ini, big);
    const int code = test::RunInChild( // on a disk that is full after 4 KiB
        [&] { return os::WritePrivateProfileString("T", "Path", "new", ini) ? 0 : 1; }, {4096, false});
    EXPECT_EQ(code, 1);
    EXPECT_EQ(test::ReadFile(ini), big);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << "the temporary file stayed";
}

TEST(Profile, WriteGoesThroughALinkToItsFile)
{
    test::TempDir dir;
    test::WriteFile(dir / "real.ini", "[A]\nk=1\n");
    fs::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(os::WritePrivateProfileString("A", "k", "2", dir / "link.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(test::ReadFile(dir / "real.ini"), "[A]\nk=2\n");
}

TEST(INIStore, SavedValuesReadBackAsText)
{
    test::TempDir dir;
    INI ini;
    ini.FileName(dir / "cairnix.ini");
    ini.Section("Tarnwick");
    const std::pair<Variant, const char*> saved[] = {{MakeVariant(1), "Splash"},  {MakeVariant("C:\\T\\base"), "Path"},
                                                     {MakeVariant(-7), "Left"},   {Variant{}, "Destination"},
                                                     {MakeVariant(std::string(300, 'a')), "Long"}};
    for (const auto& [value, key] : saved)
        ini.SaveSetting(value, key);
    std::string text = test::ReadFile(dir / "cairnix.ini");
    std::erase(text, '\r'); // Windows writes CR LF, our POSIX layer LF
    EXPECT_EQ(text,
              "[Tarnwick]\nSplash=1\nPath=C:\\T\\base\nLeft=-7\nDestination=\nLong=" + std::string(300, 'a') + "\n");
    const std::pair<const char*, std::string> read[] = {
        {"Splash", "1"}, {"Left", "-7"}, {"Destination", ""}, {"Long", std::string(254, 'a')}, {"Missing", "-42"}};
    for (const auto& [key, want] : read) {
        const Variant v = ini.GetSetting(key, MakeVariant(-42));
        EXPECT_TRUE(std::holds_alternative<std::string>(v) && ToText(v) == want) << key << ": " << ToText(v);
    }
    ini.DefaultValue(MakeVariant(3));
    EXPECT_EQ(ToText(ini.GetSetting("Missing")), "3") << "an omitted default is the property's text";
    ini.FileName(dir / "no such folder/x.ini");
    ini.SaveSetting(MakeVariant(1), "Splash"); // fails, and says nothing
    EXPECT_EQ(ToText(ini.GetSetting("Splash", MakeVariant("none"))), "none");
}

// Several keys go into the file in one replacement: all of them, the rest of
// the file as it was; or, on a disk that fills before the last one (room for
// the first keys, not all), none, the old file unchanged to the byte.
TEST(INIStore, SeveralSettingsAreSavedAllOrNone)
{
    test::TempDir dir;
    const std::string file = dir / "cairnix.ini";
    const std::string old = "; kept\r\n[Other]\r\n Path = C:\\other \r\n[Tarnwick]\r\nSplash=1\r\n";
    const std::vector<std::pair<std::string, Variant>> values = {
        {"Splash", MakeVariant(0)}, {"Path", MakeVariant(std::string(100, 'p'))}, {"Start", MakeVariant("/s")}};
    const std::pair<std::int64_t, std::string> cases[] = {
        {-1, old + "Path=" + std::string(100, 'p') + "\r\nStart=/s\r\n"},
        {std::int64_t(old.size()) + 20, old},
    };
    for (const auto& [limit, after] : cases) {
        test::WriteFile(file, old);
        const int code = test::RunInChild([&] {
            INI ini;
            ini.FileName(file);
            ini.Section("Tarnwick");
            return ini.SaveSettings(values) ? 0 : 1;
        }, {limit, false});
        EXPECT_EQ(code, limit < 0 ? 0 : 1) << limit;
        std::string want = after;
        if (limit < 0)
            want.replace(want.find("Splash=1"), 8, "Splash=0");
        EXPECT_EQ(test::ReadFile(file), want) << limit;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << "a temporary file stayed";
    }
}

// A settings file the program makes anew has the lines of the system it is
// made on: Windows' own profile calls end them with CR LF.
TEST(INIStore, ANewFileHasTheSystemsLineEnds)
{
    test::TempDir dir;
    const std::string file = dir / "cairnix.ini";
    INI ini;
    ini.FileName(file);
    ini.Section("Tarnwick");
    ASSERT_TRUE(ini.SaveSettings({{"Splash", MakeVariant(1)}, {"Path", MakeVariant("x")}}));
#ifdef _WIN32
    EXPECT_EQ(test::ReadFile(file), "[Tarnwick]\r\nSplash=1\r\nPath=x\r\n");
#else
    EXPECT_EQ(test::ReadFile(file), "[Tarnwick]\nSplash=1\nPath=x\n");
#endif
}

} // namespace
