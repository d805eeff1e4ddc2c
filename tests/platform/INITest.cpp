#include "platform/INI.h"
#include "platform/os/Profile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using tarnwick::test::ReadFile;
using tarnwick::test::TempDir;
using tarnwick::test::WriteFile;

namespace {

// Every call the object makes to the profile-string layer, passed on to the
// real one.
struct Calls {
    int reads = 0;
    int writes = 0;
    std::string lastDefault, lastSection, lastKey, lastFile, lastValue;
};

INI::Hooks Counting(Calls& calls)
{
    INI::Hooks h;
    h.GetPrivateProfileString = [&calls](const std::string& s, const std::string& k, const std::string& d,
                                         char* b, std::uint32_t n, const std::string& f) {
        ++calls.reads;
        calls.lastSection = s, calls.lastKey = k, calls.lastDefault = d, calls.lastFile = f;
        return os::GetPrivateProfileString(s, k, d, b, n, f);
    };
    h.WritePrivateProfileString = [&calls](const std::string& s, const std::string& k, const std::string& v,
                                           const std::string& f) {
        ++calls.writes;
        calls.lastSection = s, calls.lastKey = k, calls.lastValue = v, calls.lastFile = f;
        return os::WritePrivateProfileString(s, k, v, f);
    };
    return h;
}

class INIStore : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir / "cairnix.ini";
    Calls calls;
    INI ini{Counting(calls)};

    void Open()
    {
        ini.FileName(file);
        ini.Section("Tarnwick");
    }
};

std::string Text(const Variant& v)
{
    EXPECT_TRUE(std::holds_alternative<std::string>(v)) << "a read gives text";
    return ToText(v);
}

} // namespace

TEST_F(INIStore, FreshObjectStartsEmpty)
{
    EXPECT_EQ(ini.Section(), "");
    EXPECT_EQ(ini.FileName(), "");
    EXPECT_EQ(ini.Setting(), "");
    EXPECT_TRUE(IsEmpty(ini.DefaultValue()));
}

TEST_F(INIStore, MissingKeyGivesTheDefaultArgumentAsText)
{
    Open();
    WriteFile(file, "[Tarnwick]\nSplash=1\n");
    EXPECT_EQ(Text(ini.GetSetting("Overwrite", MakeVariant("1"))), "1");
    WriteFile(file, "[tarnwick]\nOverwrite=0\n");
    EXPECT_EQ(Text(ini.GetSetting("Overwrite", MakeVariant("1"))), "0");
    // A whole number as default comes back as its digits.
    EXPECT_EQ(Text(ini.GetSetting("Missing", MakeVariant(0))), "0");
    EXPECT_EQ(Text(ini.GetSetting("Missing", MakeVariant(-42))), "-42");
    EXPECT_EQ(calls.lastDefault, "-42");
    // A missing file reads as if every key were missing.
    ini.FileName(dir / "missing.ini");
    EXPECT_EQ(Text(ini.GetSetting("Overwrite", MakeVariant("1"))), "1");
}

TEST_F(INIStore, UnresolvedNamesGiveTheDefaultPropertyAndTouchNoFile)
{
    Variant v = ini.GetSetting();
    EXPECT_TRUE(IsEmpty(v));
    ini.DefaultValue(MakeVariant(5));
    v = ini.GetSetting();
    ASSERT_TRUE(std::holds_alternative<long long>(v)) << "the property comes back as it is";
    EXPECT_EQ(std::get<long long>(v), 5);
    // Each of the three names missing on both sides is enough.
    EXPECT_EQ(ToText(ini.GetSetting("Path", MakeVariant("x"), "Tarnwick")), "5");
    EXPECT_EQ(ToText(ini.GetSetting("Path", MakeVariant("x"), "", file)), "5");
    EXPECT_EQ(ToText(ini.GetSetting("", MakeVariant("x"), "Tarnwick", file)), "5");
    ini.SaveSetting(MakeVariant("v"), "Path", "", file);
    EXPECT_EQ(calls.reads, 0);
    EXPECT_EQ(calls.writes, 0);
    EXPECT_FALSE(test::Exists(file));
    // The checks come before any change: nothing was kept.
    EXPECT_EQ(ini.Setting(), "");
    EXPECT_EQ(ini.Section(), "");
    EXPECT_EQ(ini.FileName(), "");
}

TEST_F(INIStore, NamesGivenAreKeptForLaterCalls)
{
    WriteFile(file, "[Tarnwick]\nPath=C:\\games\n[Other]\nPath=elsewhere\n");
    EXPECT_EQ(Text(ini.GetSetting("Path", MakeVariant(""), "Tarnwick", file)), "C:\\games");
    EXPECT_EQ(ini.Setting(), "Path");
    EXPECT_EQ(ini.Section(), "Tarnwick");
    EXPECT_EQ(ini.FileName(), file);
    EXPECT_EQ(Text(ini.GetSetting()), "C:\\games");
    EXPECT_EQ(calls.lastKey, "Path");
    EXPECT_EQ(Text(ini.GetSetting("", MakeVariant(""), "Other")), "elsewhere");
    EXPECT_EQ(ini.Section(), "Other");
    ini.SaveSetting(MakeVariant("new"));
    EXPECT_EQ(calls.lastSection, "Other");
    EXPECT_EQ(calls.lastKey, "Path");
    EXPECT_EQ(ReadFile(file), "[Tarnwick]\nPath=C:\\games\n[Other]\nPath=new\n");
}

TEST_F(INIStore, SavedValuesAreTheirText)
{
    Open();
    ini.SaveSetting(MakeVariant(1), "Splash");
    ini.SaveSetting(MakeVariant("C:\\Games\\Tribes\\base"), "Path");
    ini.SaveSetting(MakeVariant(-7), "Left");
    ini.SaveSetting(Variant{}, "Destination");
    EXPECT_EQ(ReadFile(file), "[Tarnwick]\nSplash=1\nPath=C:\\Games\\Tribes\\base\nLeft=-7\nDestination=\n");
    // What was saved as a number reads back as text.
    EXPECT_EQ(Text(ini.GetSetting("Splash", MakeVariant(0))), "1");
    // Empty was stored as an empty value: the key is there, so no default.
    EXPECT_EQ(Text(ini.GetSetting("Destination", MakeVariant("default"))), "");
}

TEST_F(INIStore, LongValuesComeBackCutTo254)
{
    Open();
    const std::string value(300, 'a');
    ini.SaveSetting(MakeVariant(value), "Long");
    EXPECT_EQ(Text(ini.GetSetting("Long", MakeVariant(""))), value.substr(0, 254));
}

TEST_F(INIStore, OmittedDefaultUsesThePropertysText)
{
    Open();
    ini.DefaultValue(MakeVariant(3));
    EXPECT_EQ(Text(ini.GetSetting("Missing")), "3");
    EXPECT_EQ(calls.lastDefault, "3");
}

TEST_F(INIStore, FailedWriteIsSilent)
{
    ini.FileName(dir / "no such folder/x.ini");
    ini.Section("Tarnwick");
    ini.SaveSetting(MakeVariant(1), "Splash");
    EXPECT_EQ(calls.writes, 1);
    EXPECT_EQ(Text(ini.GetSetting("Splash", MakeVariant("none"))), "none");
}
