// Qt plugins come from Qt's own plugin folder only: a volume extracted into
// the program's folder (the default destination) must not plant code there.
#include "support/RunTool.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <QtTest>

#include <filesystem>
#include <sys/resource.h>

using namespace tarnwick::test;

class PluginFolderTest : public QObject {
    Q_OBJECT
private slots:
    void pluginsBesideTheProgramAreNeverLoaded()
    {
        // The program aborts when it finds no platform plugin; no core files for that.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        struct Case {
            const char* name;
            std::string plugin;   // where the plugin lands, below the program's folder
            std::string qtConf;   // a qt.conf dropped beside the program, if any
            bool trustedByUser;   // the user's own environment names the folder
        };
        const Case cases[] = {
            {"platforms folder beside the program", "platforms/libplanted.so", "", false},
            {"qt.conf beside the program moving the plugin folder", "evil/platforms/libplanted.so",
             "[Paths]\nPrefix=.\nPlugins=evil\n", false},
            // Shows that the stand-in is a working plugin when Qt is pointed at it.
            {"plugin folder the user names", "mine/libplanted.so", "", true},
        };
        for (const Case& c : cases) {
            TempDir dir;
            const std::string program = dir / "tarnwick", mark = dir / "loaded";
            std::filesystem::copy_file(ToolPath("tarnwick"), program);
            std::filesystem::create_directories(std::filesystem::path(dir / c.plugin).parent_path());
            std::filesystem::copy_file(TARNWICK_PLANTED_PLUGIN, dir / c.plugin);
            if (!c.qtConf.empty())
                WriteFile(dir / "qt.conf", c.qtConf);
            ScopedEnv env;
            env.Set("QT_QPA_PLATFORM", "planted");
            env.Set("TARNWICK_PLANTED_MARK", mark);
            env.Set("HOME", dir / "home");
            env.Set("XDG_RUNTIME_DIR", dir.Path());
            env.Unset("QT_PLUGIN_PATH");
            if (c.trustedByUser)
                env.Set("QT_QPA_PLATFORM_PLUGIN_PATH", dir / "mine");
            else
                env.Unset("QT_QPA_PLATFORM_PLUGIN_PATH");
            const ToolRun run = RunTool(program, {});
            QVERIFY2(Exists(mark) == c.trustedByUser, c.name);
            QVERIFY2((run.exitCode == 42) == c.trustedByUser, c.name);
        }
    }
};

QTEST_GUILESS_MAIN(PluginFolderTest)
#include "PluginFolderTest.moc"
