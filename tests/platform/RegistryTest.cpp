// cRegistry over the POSIX registry store, in a store of a temporary folder.
#include "platform/cRegistry.h"
#include "platform/os/Registry.h"
#include "platform/os/RegistryFile.h"
#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace tarnwick;
using tarnwick::test::TempDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Points the store (and the desktop's folders) into a temporary folder.
class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.Set("XDG_DATA_HOME", dir / "data");
        env.Set("XDG_CONFIG_HOME", dir / "config");
    }
    std::string Store() const { return test::ReadFile(os::RegistryStorePath()); }

    cRegistry At(const std::string& section, const std::string& value = "", std::int32_t type = cRegistry::REG_SZ)
    {
        cRegistry r;
        r.ClassKey(cRegistry::HKEY_CLASSES_ROOT);
        r.SectionKey(section);
        r.ValueKey(value);
        r.ValueType(type);
        return r;
    }
    // The type the store holds for a value, read below the class itself.
    std::uint32_t StoredType(const std::string& section, const std::string& value)
    {
        os::RegHandle key = 0;
        if (os::RegistryOpenKey(os::kHKEY_CLASSES_ROOT, section, os::kKEY_QUERY_VALUE, &key) != os::kRegOk)
            return 0;
        std::uint32_t type = 0, size = 0;
        os::RegistryQueryValue(key, value, &type, nullptr, &size);
        os::RegistryCloseKey(key);
        return type;
    }

    TempDir dir;
    test::ScopedEnv env;
};

TEST_F(RegistryStore, TextTypeIsChosenByThePercentSigns)
{
    struct Case {
        std::string text;
        std::uint32_t type;
    };
    const Case cases[] = {
        {"\"/opt/tarnwick\" \"%1\"", 1}, {"%HOME%/bin", 2}, {"100%", 1}, {"a %% b", 1}, {"%%%", 2}, {"%a%", 2}, {"", 1},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string name = "v" + std::to_string(i++);
        cRegistry r = At("Types", name, cRegistry::REG_EXPAND_SZ);
        r.Value(MakeVariant(c.text));
        EXPECT_EQ(StoredType("Types", name), c.type) << c.text;
    }
    // Read back, an expandable text comes with its reference replaced.
    env.Set("TARNWICK_TEST_DIR", "/games");
    cRegistry w = At("Types", "e");
    w.Value(MakeVariant("%TARNWICK_TEST_DIR%/base"));
    cRegistry r = At("Types", "e");
    EXPECT_EQ(ToText(r.Value()), "/games/base");
    EXPECT_EQ(r.ValueType(), cRegistry::REG_EXPAND_SZ);
}

TEST_F(RegistryStore, WritingCreatesTheWholePath)
{
    cRegistry r = At("Cairnix Suite\\shell\\open\\command");
    EXPECT_FALSE(r.KeyExists());
    r.Value(MakeVariant("\"x\" \"%1\""));
    EXPECT_TRUE(r.KeyExists());
    EXPECT_TRUE(At("Cairnix Suite").KeyExists());
    EXPECT_TRUE(At("CAIRNIX SUITE\\Shell").KeyExists()) << "names match without regard to case";
    EXPECT_EQ(ToText(At("cairnix suite\\shell\\open\\command").Value()), "\"x\" \"%1\"");
}

TEST_F(RegistryStore, NoRootMeansEveryOperationFails)
{
    cRegistry r;
    r.SectionKey("Anything");
    r.Default(MakeVariant("fallback"));
    EXPECT_FALSE(r.KeyExists());
    EXPECT_EQ(ToText(r.Value()), "fallback");
    try {
        r.CreateKey();
        FAIL() << "CreateKey without a root must raise";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), 26001);
        EXPECT_EQ(e.Description(), "Failed to create registry Key: 'Anything");
        EXPECT_THAT(e.Source(), ::testing::EndsWith(".cRegistry"));
        EXPECT_EQ(e.Source().find('.'), e.Source().size() - std::string(".cRegistry").size());
    }
}

TEST_F(RegistryStore, ReadsSetTheTypeAndMissingValuesGiveDefault)
{
    cRegistry r = At("Values", "missing", 99);
    EXPECT_TRUE(IsEmpty(r.Value()));
    EXPECT_EQ(r.ValueType(), 99);
    r.Default(MakeVariant(7));
    EXPECT_EQ(std::get<long long>(r.Value()), 7);

    cRegistry n = At("Values", "n", cRegistry::REG_DWORD);
    n.Value(MakeVariant(0x01020304));
    cRegistry b = At("Values", "b", cRegistry::REG_BINARY);
    b.Value(MakeVariant(Bytes{0, 255, 7}));
    cRegistry reader = At("Values", "n", 0);
    EXPECT_EQ(std::get<long long>(reader.Value()), 0x01020304);
    EXPECT_EQ(reader.ValueType(), cRegistry::REG_DWORD);
    reader.ValueKey("b");
    EXPECT_EQ(std::get<Bytes>(reader.Value()), (Bytes{0, 255, 7}));
    EXPECT_EQ(reader.ValueType(), cRegistry::REG_BINARY);
    // An empty text reads as the empty text.
    cRegistry e = At("Values", "empty");
    e.Value(MakeVariant(""));
    EXPECT_EQ(std::get<std::string>(At("Values", "empty").Value()), "");
}

TEST_F(RegistryStore, BigEndianIsWrittenAsLittleEndianDword)
{
    cRegistry w = At("Numbers", "be", cRegistry::REG_DWORD_BIG_ENDIAN);
    w.Value(MakeVariant(0x11223344));
    EXPECT_EQ(StoredType("Numbers", "be"), 4u);
    EXPECT_NE(Store().find("\"be\"=dword:11223344"), std::string::npos) << Store();
    // A big-endian value in the store reads with its bytes turned round.
    os::RegHandle key = 0;
    ASSERT_EQ(os::RegistryOpenKey(os::kHKEY_CLASSES_ROOT, "Numbers", os::kKEY_ALL_BASIC, &key), os::kRegOk);
    const unsigned char big[4] = {0x11, 0x22, 0x33, 0x44};
    ASSERT_EQ(os::RegistrySetValue(key, "raw", os::kREG_DWORD_BIG_ENDIAN, big, 4), os::kRegOk);
    os::RegistryCloseKey(key);
    EXPECT_EQ(std::get<long long>(At("Numbers", "raw").Value()), 0x11223344);

    // Text with a DWORD type writes nothing and raises nothing.
    cRegistry t = At("Numbers", "text", cRegistry::REG_DWORD);
    EXPECT_NO_THROW(t.Value(MakeVariant("12")));
    EXPECT_EQ(StoredType("Numbers", "text"), 0u);
}

TEST_F(RegistryStore, UnsupportedWritesRaise)
{
    cRegistry bin = At("W", "b", cRegistry::REG_BINARY);
    try {
        bin.Value(MakeVariant("not bytes"));
        FAIL();
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), 26001);
        EXPECT_EQ(e.Source(), "");
        EXPECT_EQ(e.Description(), "");
    }
    cRegistry none = At("W", "x", 0);
    try {
        none.Value(MakeVariant("t"));
        FAIL();
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), -2147194455);
        EXPECT_EQ(e.Description(), "Failed to set registry value Key: '-2147483648',Section: 'W',Key: 'x' to value: 't'");
    }
}

TEST_F(RegistryStore, DeletingKeysAndValues)
{
    At("Cairnix Suite\\shell").CreateKey();
    cRegistry parent = At("Cairnix Suite");
    try {
        parent.DeleteKey();
        FAIL() << "a key with subkeys cannot go";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), 26001);
        EXPECT_EQ(e.Description(), "Failed to delete registry Key: '-2147483648',Section: 'Cairnix Suite");
    }
    EXPECT_TRUE(At("Cairnix Suite\\shell").DeleteKey());
    EXPECT_TRUE(parent.DeleteKey());
    EXPECT_FALSE(parent.KeyExists());

    cRegistry v = At("K", "name");
    v.Value(MakeVariant("x"));
    EXPECT_TRUE(v.DeleteValue());
    try {
        v.DeleteValue();
        FAIL();
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Description(), "Failed to delete registry Key: '-2147483648',Section: 'K',Key: 'name");
    }
    cRegistry gone = At("NoSuchKey", "name");
    try {
        gone.DeleteValue();
        FAIL();
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Description(), "Failed to open key '-2147483648',Section: 'NoSuchKey' for delete access");
    }
}

TEST_F(RegistryStore, EnumerationsKeepTheStoreOrder)
{
    std::vector<std::string> names{"stale"};
    std::int32_t count = 9;
    EXPECT_TRUE(At("Missing").EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_THAT(names, IsEmpty());
    At("Empty").CreateKey();
    EXPECT_TRUE(At("Empty").EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(At("Empty").EnumerateSections(names, count));
    EXPECT_EQ(count, 0);

    for (const char* n : {"zeta", "", "alpha", "a much longer value name"})
        At("List", n).Value(MakeVariant("v"));
    for (const char* k : {"List\\b", "List\\a", "List\\c"})
        At(k).CreateKey();
    EXPECT_TRUE(At("List").EnumerateValues(names, count));
    EXPECT_EQ(count, 4);
    EXPECT_THAT(names, ElementsAre("zeta", "", "alpha", "a much longer value name"));
    EXPECT_TRUE(At("List").EnumerateSections(names, count));
    EXPECT_EQ(count, 3);
    EXPECT_THAT(names, ElementsAre("b", "a", "c"));
}

TEST_F(RegistryStore, TheStoreSurvivesANewProcess)
{
    At("Reload", "text").Value(MakeVariant("Volume"));
    At("Reload", "n", cRegistry::REG_DWORD).Value(MakeVariant(-5));
    At("Reload", "b", cRegistry::REG_BINARY).Value(MakeVariant(Bytes{1, 2}));
    const int code = test::RunInChild([this] {
        cRegistry r = At("Reload", "text", 0);
        if (ToText(r.Value()) != "Volume" || r.ValueType() != cRegistry::REG_SZ)
            return 1;
        r.ValueKey("n");
        if (std::get<long long>(r.Value()) != -5 || r.ValueType() != cRegistry::REG_DWORD)
            return 2;
        r.ValueKey("b");
        if (std::get<Bytes>(r.Value()) != (Bytes{1, 2}) || r.ValueType() != cRegistry::REG_BINARY)
            return 3;
        return 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Store().rfind("REGEDIT4\r\n", 0), 0u);
}

TEST_F(RegistryStore, ADamagedStoreIsReportedAndLeftAlone)
{
    const std::string damaged = "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.vol]\r\n@=\"Cairnix Suite\r\n";
    test::WriteFile(os::RegistryStorePath(), damaged);
    cRegistry r = At(".vol");
    r.Default(MakeVariant("d"));
    EXPECT_EQ(ToText(r.Value()), "d");
    EXPECT_THROW(r.Value(MakeVariant("x")), RegistryError);
    EXPECT_THROW(r.CreateKey(), RegistryError);
    EXPECT_NE(os::RegistryStoreProblem().find("damaged"), std::string::npos);
    EXPECT_NE(os::RegistryStoreProblem().find("line 4"), std::string::npos) << os::RegistryStoreProblem();
    EXPECT_EQ(Store(), damaged);
}

TEST(RegistryFileFormat, RoundTripsEveryTypeAndEscape)
{
    os::RegistryTree tree;
    os::RegistryKey& k = tree.Root("HKEY_CURRENT_USER")->Child("Software").Child("Quote\"d [key]");
    k.values.push_back({"", 1, std::string("a \"b\" \\c\0", 10)});
    k.values.push_back({"n", 4, std::string("\x0a\0\0\x80", 4)});
    k.values.push_back({"bin", 3, std::string("\0\xff", 2)});
    k.values.push_back({"multi", 7, std::string("a\0b\0\0", 5)});
    k.values.push_back({"exp", 2, std::string("%X%\0", 4)});
    k.values.push_back({"odd", 0x2a, "x"});
    k.values.push_back({"nul inside", 1, std::string("a\0b\0", 4)});
    const std::string text = os::FormatRegistryFile(tree);
    os::RegistryTree back;
    std::string problem;
    ASSERT_TRUE(os::ParseRegistryFile(text, back, problem)) << problem << "\n" << text;
    EXPECT_EQ(os::FormatRegistryFile(back), text);
    os::RegistryKey* again = back.Root("hkey_current_user")->Find("SOFTWARE")->Find("quote\"d [key]");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->values.size(), k.values.size());
    for (std::size_t i = 0; i < k.values.size(); ++i) {
        EXPECT_EQ(again->values[i].name, k.values[i].name);
        EXPECT_EQ(again->values[i].type, k.values[i].type) << k.values[i].name;
        EXPECT_EQ(again->values[i].data, k.values[i].data) << k.values[i].name;
    }
    EXPECT_NE(text.find("\"n\"=dword:8000000a"), std::string::npos) << text;
}

TEST(RegistryFileFormat, ReadsWhatTheRegistryEditorWrites)
{
    const std::string exported = "\xEF\xBB\xBFREGEDIT4\n\n; a comment\n[HKEY_LOCAL_MACHINE\\Software\\Game]\n"
                                 "\"Path\"=\"C:\\\\Dynamix\\\\Tribes\"\n"
                                 "\"Bytes\"=hex:01,02,\\\n  03,04\n\"Gone\"=-\n";
    os::RegistryTree tree;
    std::string problem;
    ASSERT_TRUE(os::ParseRegistryFile(exported, tree, problem)) << problem;
    os::RegistryKey* game = tree.Root("HKEY_LOCAL_MACHINE")->Find("Software")->Find("Game");
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->FindValue("path")->data, std::string("C:\\Dynamix\\Tribes\0", 18));
    EXPECT_EQ(game->FindValue("Bytes")->data, std::string("\x01\x02\x03\x04"));
    EXPECT_EQ(game->FindValue("Gone"), nullptr);
}

TEST(RegistryFileFormat, RefusesWhatItCannotRead)
{
    const char* bad[] = {
        "REGEDIT5\n",
        "REGEDIT4\n\"v\"=\"before any key\"\n",
        "REGEDIT4\n[HKEY_NOWHERE\\x]\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\x\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\a\\\\b]\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=dword:123\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=hex:1,02\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=hex(zz):01\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=hex:01,\\\n",
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\nv=\"unquoted name\"\n",
    };
    for (const char* text : bad) {
        os::RegistryTree tree;
        std::string problem;
        EXPECT_FALSE(os::ParseRegistryFile(text, tree, problem)) << text;
        EXPECT_EQ(problem.rfind("line ", 0), 0u) << problem;
        EXPECT_TRUE(tree.roots[0].subkeys.empty());
    }
}

} // namespace
