// The file association: the registry layout of the class and its verbs, the
// Associate button's layout for volumes, and the desktop's own handler,
// checked with the desktop's tools.
#include "platform/AssociateCommand.h"
#include "platform/cRegistry.h"
#include "platform/os/DesktopAssociation.h"
#include "platform/os/Registry.h"
#include "support/RunTool.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::TempDir;

namespace {

class Association : public ::testing::Test {
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
    // Every key below the root with its default value, in store order.
    std::vector<std::string> Layout(const std::string& section)
    {
        std::vector<std::string> out;
        Walk(section, out);
        return out;
    }
    void Walk(const std::string& section, std::vector<std::string>& out)
    {
        cRegistry r;
        r.ClassKey(cRegistry::HKEY_CLASSES_ROOT);
        r.SectionKey(section);
        r.Default(MakeVariant("<none>"));
        const std::string value = ToText(r.Value());
        out.push_back(section + " = " + value + (value == "<none>" ? "" : " (" + std::to_string(r.ValueType()) + ")"));
        std::vector<std::string> subs;
        std::int32_t n = 0;
        r.EnumerateSections(subs, n);
        for (const std::string& s : subs)
            Walk(section + "\\" + s, out);
    }

    TempDir dir;
    test::ScopedEnv env;
};

TEST_F(Association, ClassWithEveryVerbAndAnIcon)
{
    cRegistry r;
    r.CreateEXEAssociation("  \"/opt/t/prog  ", "Doc", "A document", "doc", "", true, "", true, "", true, "", 0);
    EXPECT_THAT(Layout(".doc"), ::testing::ElementsAre(".doc = Doc (1)"));
    EXPECT_THAT(Layout("Doc"), ::testing::ElementsAre("Doc = A document (1)", "Doc\\shell = <none>",
                                                      "Doc\\shell\\open = &Open (1)",
                                                      "Doc\\shell\\open\\command = \"/opt/t/prog\" \"%1\" (1)",
                                                      "Doc\\shell\\print = &Print (1)",
                                                      "Doc\\shell\\print\\command = \"/opt/t/prog\" /p \"%1\" (1)",
                                                      "Doc\\shell\\add = &Install doc (1)",
                                                      "Doc\\shell\\add\\command = \"/opt/t/prog\" /a \"%1\" (1)",
                                                      "Doc\\shell\\new = &New (1)",
                                                      "Doc\\shell\\new\\command = \"/opt/t/prog\" /n \"%1\" (1)",
                                                      "Doc\\DefaultIcon = \"/opt/t/prog\",0 (1)"));
    EXPECT_EQ(r.ClassKey(), cRegistry::HKEY_CLASSES_ROOT);
    EXPECT_EQ(r.ValueType(), cRegistry::REG_SZ);
}

TEST_F(Association, ProgramPathGetsExactlyOneQuoteAtEachEnd)
{
    for (const std::string& path : {"/p/x", "\"/p/x\"", " /p/x ", "\"/p/x", "/p/x\""}) {
        cRegistry r;
        r.CreateEXEAssociation(path, "Q", "q", "q");
        EXPECT_EQ(Layout("Q\\shell\\open\\command"), std::vector<std::string>{"Q\\shell\\open\\command = \"/p/x\" \"%1\" (1)"})
            << path;
        EXPECT_FALSE(cRegistry().KeyExists());
        cRegistry icon;
        icon.ClassKey(cRegistry::HKEY_CLASSES_ROOT);
        icon.SectionKey("Q\\DefaultIcon");
        EXPECT_FALSE(icon.KeyExists()) << "index -1 writes no icon";
    }
}

TEST_F(Association, AdditionalVerbsNeedTriplesAndAnExistingClass)
{
    cRegistry r;
    r.ClassKey(cRegistry::HKEY_CLASSES_ROOT);
    const std::vector<Variant> four{MakeVariant("play"), MakeVariant("&Play"), MakeVariant("p %1"), MakeVariant("x")};
    try {
        r.CreateAdditionalEXEAssociations("Doc", four);
        FAIL();
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), -2147194452);
        EXPECT_EQ(e.Description(),
                  "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    }
    const std::vector<Variant> three{MakeVariant("play"), MakeVariant("&Play"), MakeVariant("p \"%1\"")};
    try {
        r.CreateAdditionalEXEAssociations("Doc", three);
        FAIL();
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), -2147194451);
        EXPECT_EQ(e.Description(), "Error - attempt to create additional associations before class defined.");
    }
    EXPECT_FALSE(test::Exists(os::RegistryStorePath())) << "a rejected call writes nothing";
    r.CreateEXEAssociation("/p/x", "Doc", "d", "doc");
    r.CreateAdditionalEXEAssociations("Doc", three);
    EXPECT_EQ(Layout("Doc\\shell\\play"), (std::vector<std::string>{"Doc\\shell\\play = &Play (1)",
                                                                     "Doc\\shell\\play\\command = p \"%1\" (1)"}));
}

TEST_F(Association, TheButtonsLayoutForVolumesTwiceOver)
{
    ASSERT_EQ(AssociateVolumes("/opt/tarnwick", "tarnwick"), "");
    const auto once = Layout("Cairnix Suite");
    const std::vector<std::string> expected{
        "Cairnix Suite = Volume (1)",
        "Cairnix Suite\\shell = <none>",
        "Cairnix Suite\\shell\\open = &Open (1)",
        "Cairnix Suite\\shell\\open\\command = \"/opt/tarnwick/tarnwick\" \"%1\" (1)",
        "Cairnix Suite\\DefaultIcon = /opt/tarnwick/tarnwickd.ico (1)",
    };
    EXPECT_EQ(once, expected);
    EXPECT_EQ(Layout(".vol"), std::vector<std::string>{".vol = Cairnix Suite (1)"});
    const std::string store = test::ReadFile(os::RegistryStorePath());
    const std::string mime = test::ReadFile(dir / "data/mime/packages/tarnwick-volume.xml");
    const std::string entry = test::ReadFile(dir / "data/applications/tarnwick.desktop");
    const std::string list = test::ReadFile(dir / "config/mimeapps.list");

    ASSERT_EQ(AssociateVolumes("/opt/tarnwick/", "tarnwick"), "");
    EXPECT_EQ(Layout("Cairnix Suite"), expected);
    EXPECT_EQ(test::ReadFile(os::RegistryStorePath()), store);
    EXPECT_EQ(test::ReadFile(dir / "data/mime/packages/tarnwick-volume.xml"), mime);
    EXPECT_EQ(test::ReadFile(dir / "data/applications/tarnwick.desktop"), entry);
    EXPECT_EQ(test::ReadFile(dir / "config/mimeapps.list"), list);
}

TEST_F(Association, TheDesktopKnowsVolumesAndOpensThemWithTarnwick)
{
    const std::string program = dir / "my games/tarnwick";
    ASSERT_EQ(os::RegisterDesktopVolumeHandler(program), "");
    VolumeWriter w;
    w.Add("a.cs", "x");
    test::WriteFile(dir / "Base.vol", w.Build());
    // Named otherwise, a volume is still known by its first bytes.
    test::WriteFile(dir / "base.volume-backup", w.Build());

    test::ToolRun type = test::RunTool("/usr/bin/xdg-mime", {"query", "filetype", dir / "Base.vol"});
    EXPECT_EQ(type.out, std::string(os::kVolumeMimeType) + "\n") << type.err;
    test::ToolRun magic = test::RunTool("/usr/bin/xdg-mime", {"query", "filetype", dir / "base.volume-backup"});
    EXPECT_EQ(magic.out, std::string(os::kVolumeMimeType) + "\n") << magic.err;
    test::ToolRun app = test::RunTool("/usr/bin/xdg-mime", {"query", "default", os::kVolumeMimeType});
    EXPECT_EQ(app.out, std::string(os::kDesktopEntryName) + "\n") << app.err;
    test::ToolRun valid = test::RunTool("/usr/bin/desktop-file-validate", {dir / "data/applications/tarnwick.desktop"});
    EXPECT_EQ(valid.exitCode, 0) << valid.out << valid.err;
    // A path with a blank survives the Exec line's quoting.
    EXPECT_NE(test::ReadFile(dir / "data/applications/tarnwick.desktop").find("Exec=\"" + program + "\" %f"),
              std::string::npos);
}

TEST_F(Association, AStoreThatCannotBeWrittenGivesOneMessage)
{
    test::WriteFile(os::RegistryStorePath(), "not a registry file\n");
    const std::string message = AssociateVolumes("/opt/tarnwick", "tarnwick");
    EXPECT_THAT(message, ::testing::StartsWith("Tarnwick could not be associated with volume (*.vol) files: "));
    EXPECT_THAT(message, ::testing::HasSubstr("damaged"));
    EXPECT_EQ(test::ReadFile(os::RegistryStorePath()), "not a registry file\n");

    // The desktop's folders in the way: a file where the folder should be.
    std::remove(os::RegistryStorePath().c_str());
    test::WriteFile(dir / "data/applications", "a file");
    const std::string desktop = AssociateVolumes("/opt/tarnwick", "tarnwick");
    EXPECT_THAT(desktop, ::testing::HasSubstr("applications"));
}

} // namespace
