// Profile-string and registry cases with the answers of the Win32 calls: on
// Linux they run our INI editor and registry store, under Wine the real
// system calls, and both must pass. Where ours differs, the case says why.
#include "forms/NameOrder.h"
#include "os/PathStyle.h"
#include "services/Variant.h"
#include "services/cRegistry.h"
#include "os/Profile.h"
#include "os/Registry.h"
#include "support/RegistryAt.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace tarnwick;
using Names = std::vector<std::string>;

namespace {

const std::string kLong = [] { std::string s; while (s.size() < 300) s += "0123456789"; return s; }();

const std::string kFile = "; shared settings of the suite\r\nLoose=above every section\r\n[Other Tool]\r\n"
                          "Path=C:\\other\r\n\r\n[ Tarnwick ]\r\n  Overwrite =  0  \r\nTabbed\t=\tt\t\r\n;Splash=1\r\n"
                          "Quoted=\"  two blanks  \"\r\nSingle='one'\r\nHalf=\"open\r\nInner=\"a\" b \"c\"\r\n"
                          "Equals=a=b=c\r\nEmpty=\r\nTwice=first\r\nTWICE=second\r\nno equals here\r\nLong=" + kLong +
                          "\r\n[tarnwick]\r\nOverwrite=from the twin section\r\nLater=only in the twin\r\n"
                          "[Last]\r\nx=no line end";

struct ReadCase {
    const char *section, *key, *defaultText;
    std::uint32_t size;
    std::string expected, why;
} const kReads[] = {
    {"Tarnwick", "Overwrite", "d", 255, "0", "section and key blanks are ignored, the value is trimmed"},
    {"TARNWICK", "overwrite", "d", 255, "0", "names match without regard to case"},
    {"  Tarnwick ", " Overwrite ", "d", 255, "0", "blanks around the asked names do not matter"},
    {"Tarnwick", "Tabbed", "d", 255, "t", "tabs count as blanks"},
    {"Tarnwick", "Quoted", "d", 255, "  two blanks  ", "a pair of double quotes goes, the blanks inside stay"},
    {"Tarnwick", "Single", "d", 255, "one", "single quotes go as well"},
    {"Tarnwick", "Half", "d", 255, "\"open", "an unmatched quote stays"},
    {"Tarnwick", "Inner", "d", 255, "a\" b \"c", "only the outermost pair goes"},
    {"Tarnwick", "Equals", "d", 255, "a=b=c", "the first equals sign ends the key"},
    {"Tarnwick", "Empty", "d", 255, "", "an empty value is not the default"},
    {"Tarnwick", "Twice", "d", 255, "first", "the first of twin keys wins"},
    {"Tarnwick", "Later", "d", 255, "d", "a twin section is never looked at"},
    {"Tarnwick", "Splash", "d", 255, "d", "a commented key is missing"},
    {"Tarnwick", "no equals here", "d", 255, "d", "a line without equals is no key"},
    {"Tarnwick", "Path", "d", 255, "d", "a key of another section is missing"},
    {"Other Tool", "Loose", "d", 255, "d", "a key above every section belongs to none"},
    {"Nowhere", "Overwrite", "d", 255, "d", "a missing section gives the default"},
    {"Nowhere", "x", "  pad  ", 255, "  pad", "the default loses its trailing blanks only"},
    {"Last", "x", "d", 255, "no line end", "the last line needs no line end"},
    {"Tarnwick", "Long", "d", 255, kLong.substr(0, 254), "a value of 300 comes back as its first 254"},
    {"Tarnwick", "Long", "d", 1, "", "room for the NUL only"},
    {"Tarnwick", "Long", "d", 0, "", "no room at all"},
    {"Nowhere", "k", "long default", 5, "long", "the default is cut to the buffer as well"},
};

class ProfileTable : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string ini = dir / "cairnix.ini";

    std::string Get(const std::string& section, const std::string& key, const std::string& def = "d",
                    std::uint32_t size = 255, const std::string& file = {})
    {
        std::vector<char> buffer(size + 8, '#');
        const std::uint32_t n =
            os::GetPrivateProfileString(section, key, def, buffer.data(), size, file.empty() ? ini : file);
        EXPECT_LT(n, std::max<std::uint32_t>(size, 1)) << "count within the buffer";
        EXPECT_EQ(buffer[n], size ? '\0' : '#') << "a NUL after the text, and only inside the buffer";
        return std::string(buffer.data(), n);
    }
};

TEST_F(ProfileTable, ReadsGiveTheContractsAnswers)
{
    test::WriteFile(ini, kFile);
    for (const ReadCase& c : kReads)
        EXPECT_EQ(Get(c.section, c.key, c.defaultText, c.size), c.expected) << c.key << ": " << c.why;
    EXPECT_EQ(Get("Tarnwick", "Overwrite", "1", 255, dir / "none.ini"), "1");
    EXPECT_FALSE(test::Exists(dir / "none.ini")) << "a read created the file";
}

TEST_F(ProfileTable, WritesReplaceAddAndKeepTheRest)
{
    test::WriteFile(ini, kFile);
    // Named in another case: replaced, not doubled; then a new key and a new section.
    ASSERT_TRUE(os::WritePrivateProfileString("tarnwick", "OVERWRITE", "1", ini));
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Splash", "0", ini));
    ASSERT_TRUE(os::WritePrivateProfileString("New Section", "Key", "v a l", ini));
    EXPECT_EQ(Get("Tarnwick", "Overwrite") + Get("Tarnwick", "Splash") + Get("New Section", "Key"), "10v a l");
    EXPECT_EQ(Get("Tarnwick", "Later") + Get("Last", "x"), "dno line end");
    const std::string text = ToLower(test::ReadFile(ini));
    EXPECT_NE(text.find("; shared settings of the suite"), std::string::npos) << "comment lost";
    EXPECT_NE(text.find(";splash=1"), std::string::npos) << "commented key lost";
    std::size_t keys = 0;
    for (std::size_t at = text.find("overwrite"); at != std::string::npos; at = text.find("overwrite", at + 1))
        ++keys;
    EXPECT_EQ(keys, 2u) << "one in the section, one in its twin:\n" << text;
}

// Windows writes a line break inside a value as it stands, forging a section:
// ours refuses that, and every name the file could not hold, on every system.
TEST_F(ProfileTable, AValueCannotForgeASection)
{
    const std::string before = "[Tarnwick]\r\nPath=old\r\n";
    test::WriteFile(ini, before);
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "x\r\n[Evil]\r\nk=1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "x\n[Evil]", ini));
    EXPECT_EQ(Get("Evil", "k") + Get("Tarnwick", "Path"), "dold");
    const std::pair<const char*, const char*> names[] = {
        {"Tarnwick", "Pa=th"}, {"Tarnwick", "[Path]"}, {"Tarnwick", ";Path"}, {"Tarn]wick", "Path"},
        {"Tarnwick", " "},     {"", "Path"},           {"Tarnwick", "Pa\nth"}, {"Tarn\r\nwick", "Path"}};
    for (const auto& [section, key] : names)
        EXPECT_FALSE(os::WritePrivateProfileString(section, key, "1", ini)) << section << "/" << key;
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "1", ""));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "1", dir / "no folder/x.ini"));
    EXPECT_EQ(test::ReadFile(ini), before);
}

// The registry through the class, its one user. Values and subkeys have no
// order (Windows, Wine and our store each differ): only the sets are compared.
Names Sorted(Names names)
{
    std::sort(names.begin(), names.end(), NameBefore);
    return names;
}

cRegistry At(const std::string& section, const std::string& value = "", std::int32_t type = cRegistry::REG_SZ)
{
    return test::RegistryAt(cRegistry::HKEY_CURRENT_USER, section, value, type);
}

class RegistryTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.Set("XDG_DATA_HOME", data.Path()); // the POSIX store; Windows ignores it
        const auto* unit = ::testing::UnitTest::GetInstance();
        base = "Software\\Tarnwick Table " + std::to_string(unit->random_seed()) + "-" +
               unit->current_test_info()->name();
    }
    void TearDown() override
    {
        for (const char* sub : {"\\A\\B\\C", "\\A\\B", "\\A", "\\Kids\\b", "\\Kids\\A", "\\Kids", ""})
            os::RegistryDeleteKey(os::kHKEY_CURRENT_USER, base + sub);
    }
    test::TempDir data;
    test::ScopedEnv env;
    std::string base;
};

TEST_F(RegistryTable, KeysAreMadeWholeAndDeletedOnlyWhenEmpty)
{
    auto exists = [&](const std::string& sub) { return At(base + sub).KeyExists(); };
    EXPECT_FALSE(exists(""));
    EXPECT_TRUE(At(base + "\\A\\B\\C").CreateKey());
    EXPECT_TRUE(exists("\\A") && exists("\\a\\b") && exists("\\A\\B\\C")) << "the whole path, names without case";
    EXPECT_FALSE(exists("\\A\\X"));
    EXPECT_TRUE(At(base + "\\A\\b").CreateKey()) << "creating what is there opens it";
    EXPECT_THROW(At(base + "\\A\\B").DeleteKey(), RegistryError) << "a key with subkeys stays (Windows NT and later)";
    EXPECT_TRUE(At(base + "\\a\\b\\c").DeleteKey());
    EXPECT_FALSE(exists("\\A\\B\\C"));
    EXPECT_TRUE(exists("\\A\\B"));
    EXPECT_TRUE(At(base + "\\A\\B").DeleteKey());
    EXPECT_THROW(At(base + "\\A\\B").DeleteKey(), RegistryError);
    cRegistry noRoot = At(base);
    noRoot.ClassKey(0);
    EXPECT_FALSE(noRoot.KeyExists());
    EXPECT_THROW(noRoot.CreateKey(), RegistryError);
}

TEST_F(RegistryTable, ValuesKeepTheirTypes)
{
    const std::tuple<const char*, std::int32_t, Variant> cases[] = {
        {"", cRegistry::REG_SZ, MakeVariant("\"C:\\Tarnwick.exe\" \"%1\"")},
        {"Number", cRegistry::REG_DWORD, MakeVariant(-5)},
        {"Bytes", cRegistry::REG_BINARY, MakeVariant(Bytes{0, 1, 255, 0})},
        {"Nothing", cRegistry::REG_BINARY, MakeVariant(Bytes{})}, // no data fits any buffer
    };
    for (const auto& [name, type, value] : cases)
        At(base, name, type).Value(value);
    for (const auto& [name, type, value] : cases) {
        cRegistry r = At(base, ToLower(name), 0);
        EXPECT_EQ(r.Value(), value) << name;
        EXPECT_EQ(r.ValueType(), type) << name;
    }
    At(base, "NUMBER").Value(MakeVariant("text"));
    cRegistry r = At(base, "number", 99);
    EXPECT_EQ(ToText(r.Value()), "text") << "replacing keeps one value, of the new type";
    EXPECT_EQ(r.ValueType(), cRegistry::REG_SZ);
    EXPECT_TRUE(r.DeleteValue());
    EXPECT_TRUE(IsEmpty(r.Value())) << "a deleted value reads as missing";
    EXPECT_EQ(r.ValueType(), cRegistry::REG_SZ) << "a failed read keeps the type";
    r.Default(MakeVariant(7));
    EXPECT_EQ(r.Value(), MakeVariant(7));
}

TEST_F(RegistryTable, EnumerationsAndTheLongestName) // the class sizes its buffer by it
{
    for (const char* name : {"second", "First", "a much longer name"})
        At(base, name).Value(MakeVariant("v"));
    At(base + "\\Kids\\b").CreateKey();
    At(base + "\\Kids\\A").CreateKey();
    Names names{"stale"};
    std::int32_t count = 0;
    EXPECT_TRUE(At(base).EnumerateValues(names, count));
    EXPECT_EQ(Sorted(names), (Names{"a much longer name", "First", "second"}));
    EXPECT_TRUE(At(base + "\\Kids").EnumerateSections(names, count));
    EXPECT_EQ(Sorted(names), (Names{"A", "b"}));
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(At(base + "\\Kids").EnumerateValues(names, count) && names.empty() && count == 0);
    EXPECT_TRUE(At(base + "\\Missing").EnumerateSections(names, count) && names.empty() && count == 0);
}

// The type of a text follows its percent signs; an expandable one reads back expanded.
TEST_F(RegistryTable, TheClassChoosesTextTypesAlike)
{
    const std::tuple<const char*, std::int32_t, const char*> cases[] = {
        {"\"C:\\Tarnwick.exe\" \"%1\"", cRegistry::REG_SZ, "\"C:\\Tarnwick.exe\" \"%1\""},
        {"%TARNWICK_TABLE_DIR%\\base;%NOT_SET_ANYWHERE%;100%", cRegistry::REG_EXPAND_SZ,
         "C:\\Games\\base;%NOT_SET_ANYWHERE%;100%"},
        {"100%", cRegistry::REG_SZ, "100%"}, {"a %% b", cRegistry::REG_SZ, "a %% b"}, {"", cRegistry::REG_SZ, ""},
        {"%%%", cRegistry::REG_EXPAND_SZ, nullptr}, // how the system expands it is its own affair
    };
    int i = 0;
    for (const auto& [text, type, readBack] : cases)
        At(base, "v" + std::to_string(i++)).Value(MakeVariant(std::string(text)));
    env.Set("TARNWICK_TABLE_DIR", "C:\\Games");
    i = 0;
    for (const auto& [text, type, readBack] : cases) {
        cRegistry r = At(base, "v" + std::to_string(i++), 0);
        const std::string back = ToText(r.Value());
        EXPECT_EQ(r.ValueType(), type) << text;
        EXPECT_TRUE(!readBack || back == readBack) << text << " read back as " << back;
    }
}

} // namespace
