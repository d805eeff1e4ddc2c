// The POSIX registry store, a file users may edit or damage, and the file
// association written into it and into the desktop's own files.
#include "services/AssociateCommand.h"
#include "services/cRegistry.h"
#include "os/DesktopAssociation.h"
#include "os/Registry.h"
#include "os/RegistryFile.h"
#include "support/ChildProcess.h"
#include "support/RegistryAt.h"
#include "support/RunTool.h"
#include "support/ScopedEnv.h"
#include "support/VolumeBytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using ::testing::HasSubstr;
using ::testing::Not;
using Names = std::vector<std::string>;

namespace {

cRegistry At(const std::string& section, const std::string& value = "", std::int32_t type = cRegistry::REG_SZ)
{
    return test::RegistryAt(cRegistry::HKEY_CLASSES_ROOT, section, value, type);
}

// The store and the desktop's folders inside a temporary folder.
class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.Set("XDG_DATA_HOME", dir / "data");
        env.Set("XDG_CONFIG_HOME", dir / "config");
        env.Set("HOME", dir.Path());
        // The desktop-neutral branch of the tools, whatever session runs us.
        for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                              "XDG_DATA_DIRS"})
            env.Unset(v);
    }
    test::TempDir dir;
    test::ScopedEnv env;
};
using Association = RegistryStore;

TEST_F(RegistryStore, TheStoreSurvivesANewProcess)
{
    At("Reload", "text").Value(MakeVariant("Volume"));
    At("Reload", "n", cRegistry::REG_DWORD).Value(MakeVariant(-5));
    const int code = test::RunInChild([] {
        cRegistry t = At("Reload", "text", 0), n = At("Reload", "n", 0);
        return t.Value() == MakeVariant("Volume") && t.ValueType() == cRegistry::REG_SZ && n.Value() == MakeVariant(-5) &&
                       n.ValueType() == cRegistry::REG_DWORD
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0) << "a new process read other values";
    EXPECT_EQ(test::ReadFile(os::RegistryStorePath()).rfind("REGEDIT4\r\n", 0), 0u);
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
    const std::string problem = os::RegistryStoreProblem();
    EXPECT_TRUE(problem.find("damaged") != problem.npos && problem.find("line 4") != problem.npos) << problem;
    EXPECT_EQ(test::ReadFile(os::RegistryStorePath()), damaged);
}

TEST(RegistryFileFormat, RoundTripsEveryTypeAndEscape)
{
    os::RegistryTree tree;
    os::RegistryKey& k = tree.Root("HKEY_CURRENT_USER")->Child("Software").Child("Quote\"d [key]");
    k.values = {{"", 1, std::string("a \"b\" \\c\\\0", 10)}, {"n", 4, std::string("\x0a\0\0\x80", 4)},
                {"bin", 3, std::string("\0\xff", 2)},       {"multi", 7, std::string("a\0b\0\0", 5)},
                {"exp", 2, std::string("%X%\0", 4)},        {"odd", 0x2a, "x"},
                {"nul inside", 1, std::string("a\0b\0", 4)}};
    const std::string text = os::FormatRegistryFile(tree);
    for (const char* line : {R"(@="a \"b\" \\c\\")", "\"n\"=dword:8000000a"})
        EXPECT_NE(text.find(line), std::string::npos) << "as the registry editor writes:\n" << text;
    os::RegistryTree back;
    std::string problem;
    ASSERT_TRUE(os::ParseRegistryFile(text, back, problem)) << problem << "\n" << text;
    EXPECT_EQ(os::FormatRegistryFile(back), text);
    const os::RegistryKey* again = back.Root("hkey_current_user")->Find("SOFTWARE")->Find("quote\"d [key]");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(std::equal(again->values.begin(), again->values.end(), k.values.begin(), k.values.end(),
                           [](auto& a, auto& b) { return a.name == b.name && a.type == b.type && a.data == b.data; }));
}

TEST(RegistryFileFormat, ReadsWhatTheRegistryEditorWrites)
{
    const std::string exported = "\xEF\xBB\xBFREGEDIT4\n\n; a comment\n[HKEY_LOCAL_MACHINE\\Software\\Game]\n"
                                 "\"Path\"=\"C:\\\\Dynamix\\\\Tribes\"\n\"Bytes\"=hex:01,02,\\\n  03,04\n\"Gone\"=-\n";
    os::RegistryTree tree;
    std::string problem;
    ASSERT_TRUE(os::ParseRegistryFile(exported, tree, problem)) << problem;
    os::RegistryKey* game = tree.Root("HKEY_LOCAL_MACHINE")->Find("Software")->Find("Game");
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->FindValue("path")->data, std::string("C:\\Dynamix\\Tribes\0", 18));
    EXPECT_EQ(game->FindValue("Bytes")->data, "\x01\x02\x03\x04");
    EXPECT_EQ(game->FindValue("Gone"), nullptr);
}

TEST(RegistryFileFormat, RefusesWhatItCannotRead)
{
    const std::string key = "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n";
    const std::pair<std::string, const char*> bad[] = {
        {"REGEDIT5\n", "line 1: the file does not begin with REGEDIT4"},
        {"\n\xEF\xBB\xBF\n", "line 3: the file does not begin with REGEDIT4"}, // a byte-order mark alone
        {"REGEDIT4\n\"v\"=\"before any key\"\n", "line 2: a value before the first key"},
        {"REGEDIT4\n[HKEY_NOWHERE\\x]\n", "line 2: an unknown root key"},
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\x\n", "line 2: a key header without its closing bracket"},
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\a\\\\b]\n", "line 2: an empty key name"},
        {key + "\"v\"=dword:123\n", "line 3: a dword value needs eight hex digits"},
        {key + "\"v\"=hex:1,02\n", "line 3: a malformed list of hex bytes"},
        {key + "\"v\"=hex(zz):01\n", "line 3: a malformed hex(type) value"},
        {key + "\n\"v\"=hex:01,\\", "line 4: a continued line has no end"},
        {key + "\"v\"=hex:01,\\\n 02\n@=text\n", "line 5: a value of unknown form"},
        {key + "v=\"unquoted name\"\n", "line 3: a value name without its closing quote"},
        {key + "\"v\" \"x\"\n", "line 3: a value without '='"},
        {key + "\"v\"=\"open\n", "line 3: a text value without its closing quote"},
    };
    for (const auto& [text, why] : bad) {
        os::RegistryTree tree;
        std::string problem;
        EXPECT_FALSE(os::ParseRegistryFile(text, tree, problem)) << text;
        EXPECT_EQ(problem, why);
        EXPECT_TRUE(tree.roots[0].subkeys.empty()) << why << ": a refused file left keys behind";
    }
}

// Every key below the root with its default value and type, in store order.
Names Layout(const std::string& section, Names out = {})
{
    cRegistry r = At(section);
    r.Default(MakeVariant("<none>"));
    const std::string value = ToText(r.Value());
    out.push_back(section + " = " + value + (value == "<none>" ? "" : " (" + std::to_string(r.ValueType()) + ")"));
    Names subs;
    std::int32_t n = 0;
    r.EnumerateSections(subs, n);
    for (const std::string& s : subs)
        out = Layout(section + "\\" + s, out);
    return out;
}

TEST_F(Association, ClassWithEveryVerbAndAnIcon)
{
    cRegistry().CreateEXEAssociation("  \"/opt/t/prog  ", "Doc", "A document", "doc", "", 1, "", 1, "", 1, "", 0);
    EXPECT_EQ(Layout(".doc"), Names{".doc = Doc (1)"});
    const std::string v = "Doc\\shell\\", x = "\"/opt/t/prog\"";
    EXPECT_EQ(Layout("Doc"), (Names{"Doc = A document (1)", "Doc\\shell = <none>", v + "open = &Open (1)",
                                    v + "open\\command = " + x + " \"%1\" (1)", v + "print = &Print (1)",
                                    v + "print\\command = " + x + " /p \"%1\" (1)", v + "add = &Install doc (1)",
                                    v + "add\\command = " + x + " /a \"%1\" (1)", v + "new = &New (1)",
                                    v + "new\\command = " + x + " /n \"%1\" (1)",
                                    "Doc\\DefaultIcon = " + x + ",0 (1)"}));
    // Exactly one quote at each end of the program; index -1 writes no icon.
    for (const char* path : {"/p/x", "\"/p/x\"", "/p/x\""}) {
        cRegistry().CreateEXEAssociation(path, "Q", "q", "q");
        EXPECT_EQ(Layout("Q"), (Names{"Q = q (1)", "Q\\shell = <none>", "Q\\shell\\open = &Open (1)",
                                      "Q\\shell\\open\\command = \"/p/x\" \"%1\" (1)"}))
            << path;
    }
}

TEST_F(Association, TheButtonsLayoutForVolumesTwiceOver)
{
    const Names files{os::RegistryStorePath(), dir / "data/mime/packages/tarnwick-volume.xml",
                      dir / "data/applications/io.github.tarnwick.Tarnwick.desktop", dir / "config/mimeapps.list"};
    const std::string c = "Cairnix Suite\\";
    Names once;
    for (const char* folder : {"/opt/tarnwick", "/opt/tarnwick/"}) {
        ASSERT_EQ(AssociateVolumes(folder, "tarnwick"), "");
        EXPECT_EQ(Layout(".vol"), Names{".vol = Cairnix Suite (1)"});
        EXPECT_EQ(Layout("Cairnix Suite"), (Names{"Cairnix Suite = Volume (1)", c + "shell = <none>",
                                                  c + "shell\\open = &Open (1)",
                                                  c + "shell\\open\\command = \"/opt/tarnwick/tarnwick\" \"%1\" (1)",
                                                  c + "DefaultIcon = /opt/tarnwick/tarnwickd.ico (1)"}));
        Names now;
        for (const std::string& f : files)
            now.push_back(test::ReadFile(f));
        once = once.empty() ? now : once;
        EXPECT_EQ(now, once) << "the second time changed the store or the desktop's files";
    }
}

// The value of an entry's key, its string escapes undone.
std::string EntryValue(const std::string& entry, const std::string& key)
{
    const std::size_t at = entry.find("\n" + key + "=");
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + key.size() + 2;
    const std::string raw = entry.substr(start, entry.find('\n', start) - start);
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char e = raw[i] == '\\' && i + 1 < raw.size() ? raw[++i] : 0;
        value += !e ? raw[i] : e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
    }
    return value;
}

// The entry's TryExec must name the very program it runs, however odd its path: desktops pass over it by
// that once the program is gone. Entry and type show the icon under the installed package's names, so that
// a user's own entry stands in for the package's instead of beside it.
TEST_F(Association, TheDesktopKnowsVolumesAndOpensThemWithTarnwick)
{
    const std::string entry = dir / "data/applications/io.github.tarnwick.Tarnwick.desktop";
    const std::string icon = "\x89PNG\r\n\x1a\n the program's icon", type = std::string(os::kVolumeMimeType) + "\n";
    test::WriteFile(dir / "base.volume-backup", test::BuildVolume({{"a.cs", "x"}})); // known by its first bytes
    test::WriteVolume(dir / "Base.vol", {{"a.cs", "x"}});
    const std::pair<Names, std::string> queries[] = {
        {{"filetype", dir / "Base.vol"}, type},
        {{"filetype", dir / "base.volume-backup"}, type},
        {{"default", os::kVolumeMimeType}, "io.github.tarnwick.Tarnwick.desktop\n"}};
    for (const char* folder : {"plain", "my 100% games", "back\\slash", "tab\tand blank "}) {
        SCOPED_TRACE(folder);
        const std::string program = dir / folder + "/tarnwick";
        test::WriteFile(program, "#!/bin/sh\n");
        ::chmod(program.c_str(), 0755);
        ASSERT_EQ(os::RegisterDesktopVolumeHandler(program, icon), "");
        const std::string text = test::ReadFile(entry);
        EXPECT_EQ(std::filesystem::canonical(EntryValue(text, "TryExec")), std::filesystem::canonical(program)) << text;
        EXPECT_EQ(EntryValue(text, "StartupWMClass") + " " + EntryValue(text, "Icon"),
                  "Tarnwick io.github.tarnwick.Tarnwick");
        const test::ToolRun valid = test::RunTool("/usr/bin/desktop-file-validate", {entry});
        EXPECT_EQ(valid.exitCode, 0) << valid.out << valid.err;
        if (std::string(folder) == "plain") {
            for (const auto& [args, answer] : queries)
                EXPECT_EQ(test::RunTool("/usr/bin/xdg-mime", {"query", args[0], args[1]}).out, answer) << args[1];
        }
        EXPECT_EQ(test::ReadFile(dir / "data/icons/hicolor/128x128/apps/io.github.tarnwick.Tarnwick.png"), icon);
        EXPECT_THAT(test::ReadFile(dir / "data/mime/icons"),
                    HasSubstr(std::string(os::kVolumeMimeType) + ":io.github.tarnwick.Tarnwick\n"));
        if (test::Exists("/usr/bin/gio")) {
            std::remove(program.c_str());
            EXPECT_THAT(test::RunTool("/usr/bin/gio", {"mime", os::kVolumeMimeType}).out,
                        Not(HasSubstr("io.github.tarnwick.Tarnwick.desktop")));
        }
    }
    // The package's own entry must match what the button writes.
    const std::string installed =
        test::ReadFile(std::string(TARNWICK_SOURCE_DIR) + "/dist/linux/io.github.tarnwick.Tarnwick.desktop");
    for (const auto& [key, value] : {std::pair<const char*, const char*>{"TryExec", "tarnwick"},
                                     {"StartupWMClass", "Tarnwick"}, {"Icon", "io.github.tarnwick.Tarnwick"},
                                     {"MimeType", "application/x-starsiege-tribes-volume;"}})
        EXPECT_EQ(EntryValue(installed, key), value) << key;
}

// What a desktop runs for a volume, with a stand-in program that records its arguments and whose path needs
// quoting. xdg-utils' own fallback (no desktop, LXDE, LXQt) splits the Exec line as the shell does, not by the
// entry format's rules; GLib's gio follows the format. A data folder that needs quoting is beyond xdg-utils.
TEST_F(Association, OpeningAVolumeFromTheDesktopStartsTheProgramWithIt)
{
    struct Case {
        std::string programFolder, dataFolder;
        bool xdgUtilsCanOpen, gioCanOpen;
    };
    // With a percent sign in both folders no reader can open; the entry is still valid.
    const Case cases[] = {{"my 100% games", "data", true, true}, {"my 100% games", "my data", false, true},
                          {"my 100% games", "data 5%", false, false}, {"plain", "data", true, true}};
    env.Set("DISPLAY", ":7345"); // said to be there, so that the tools look for an application
    env.Unset("WAYLAND_DISPLAY");
    env.Unset("DBUS_SESSION_BUS_ADDRESS");
    env.Unset("BROWSER");
    for (const Case& c : cases) {
        env.Set("XDG_DATA_HOME", dir / c.dataFolder);
        const std::string program = dir / c.programFolder + "/tarnwick", record = dir / "arguments";
        test::WriteFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + "'\n");
        ::chmod(program.c_str(), 0755);
        ASSERT_EQ(os::RegisterDesktopVolumeHandler(program, "icon"), "") << c.programFolder;
        const std::string entry = dir / c.dataFolder + "/applications/io.github.tarnwick.Tarnwick.desktop";
        const test::ToolRun valid = test::RunTool("/usr/bin/desktop-file-validate", {entry}); // as the test above
        EXPECT_EQ(valid.exitCode, 0) << c.programFolder << ": " << valid.out << valid.err;
        const std::string volume = test::WriteFile(dir / "a b/Base.vol", test::BuildVolume({{"a.cs", "x"}}));
        std::vector<std::pair<std::string, Names>> launches;
        for (const char* desktop : {"", "LXDE", "LXQt", "X-Generic"})
            if (c.xdgUtilsCanOpen)
                launches.push_back({desktop, {"/usr/bin/xdg-open", volume}});
        if (c.gioCanOpen && test::Exists("/usr/bin/gio"))
            launches.push_back({"GNOME", {"/usr/bin/gio", "open", volume}});
        for (const auto& [desktop, command] : launches) {
            desktop.empty() ? env.Unset("XDG_CURRENT_DESKTOP") : env.Set("XDG_CURRENT_DESKTOP", desktop);
            std::remove(record.c_str());
            const test::ToolRun run = test::RunTool(command[0], Names(command.begin() + 1, command.end()));
            // gio does not wait for the program, which may be slow to start and write on a busy machine.
            for (int i = 0; i < 1500 && test::ReadFile(record) != volume + "\n"; ++i)
                ::usleep(20000);
            EXPECT_EQ(test::ReadFile(record), volume + "\n")
                << command[0] << " under \"" << desktop << "\", program in " << c.programFolder << ", data in "
                << c.dataFolder << ": " << run.out << run.err << test::ReadFile(entry);
        }
    }
}

// An earlier version wrote its entry as tarnwick.desktop with an icon named
// tarnwick; pressing the button again leaves one entry, the package's name.
TEST_F(Association, TheEntryOfAnEarlierVersionMakesWayForTheNewOne)
{
    const std::string apps = dir / "data/applications", oldIcon = dir / "data/icons/hicolor/128x128/apps/tarnwick.png";
    test::WriteFile(apps + "/tarnwick.desktop", "[Desktop Entry]\nType=Application\nName=Tarnwick\nExec=/old/tarnwick %f\n"
                                               "Icon=tarnwick\nMimeType=application/x-starsiege-tribes-volume;\n");
    test::WriteFile(oldIcon, "old icon");
    test::WriteFile(apps + "/other.desktop", "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
    test::WriteFile(dir / "config/mimeapps.list", "[Default Applications]\ntext/plain=other.desktop\n"
                                                  "application/x-starsiege-tribes-volume=tarnwick.desktop\n"
                                                  "[Added Associations]\napplication/x-starsiege-tribes-volume=tarnwick.desktop;\n");
    ASSERT_EQ(os::RegisterDesktopVolumeHandler(dir / "bin/tarnwick", "icon"), "");
    EXPECT_FALSE(test::Exists(apps + "/tarnwick.desktop"));
    EXPECT_FALSE(test::Exists(oldIcon));
    EXPECT_TRUE(test::Exists(apps + "/io.github.tarnwick.Tarnwick.desktop"));
    EXPECT_TRUE(test::Exists(apps + "/other.desktop")) << "an entry of another program went";
    const std::string list = test::ReadFile(dir / "config/mimeapps.list");
    EXPECT_THAT(list, Not(HasSubstr("=tarnwick.desktop")));
    EXPECT_THAT(list, HasSubstr("text/plain=other.desktop\n"));
    const test::ToolRun run = test::RunTool("/usr/bin/xdg-mime", {"query", "default", os::kVolumeMimeType});
    EXPECT_EQ(run.out, "io.github.tarnwick.Tarnwick.desktop\n") << run.err;
}

TEST_F(Association, AStoreThatCannotBeWrittenGivesOneMessage)
{
    test::WriteFile(os::RegistryStorePath(), "not a registry file\n");
    const std::string message = AssociateVolumes("/opt/tarnwick", "tarnwick");
    EXPECT_THAT(message, ::testing::StartsWith("Tarnwick could not be associated with volume (*.vol) files: Failed "
                                               "to set registry value Key: '-2147483648',Section: '.vol',Key: '' to "
                                               "value: 'Cairnix Suite' (error 26001)."));
    EXPECT_THAT(message, HasSubstr("damaged"));
    EXPECT_EQ(test::ReadFile(os::RegistryStorePath()), "not a registry file\n");
    std::remove(os::RegistryStorePath().c_str());
    test::WriteFile(dir / "data/applications", "a file"); // where the desktop's folder should be
    EXPECT_THAT(AssociateVolumes("/opt/tarnwick", "tarnwick"), HasSubstr("applications"));
}

} // namespace
