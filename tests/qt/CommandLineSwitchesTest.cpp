// `tarnwick --help` and `tarnwick --version` answer on the terminal and end,
// before the one-instance rule and before any window system is asked for:
// they must work over ssh, in a package's build and beside a running copy.
#include "os/Instance.h"
#include "support/RunTool.h"
#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <QtTest>

#include <sys/resource.h>

using namespace tarnwick::test;

class CommandLineSwitchesTest : public QObject {
    Q_OBJECT
private slots:
    void switchesPrintAndEndWithoutAWindowOrTheLock()
    {
        // Were a window system asked for, the program would abort: no core files for that.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        struct Case {
            const char* name;
            std::vector<std::string> args;
            std::string outStartsWith;
            const char* outHolds;
        };
        const Case cases[] = {
            {"version", {"--version"}, "tarnwick " + ProjectVersion() + "\n", nullptr},
            {"help", {"--help"}, "Usage: tarnwick [VOLUME]\n", "--version"},
            {"short version", {"-V"}, "tarnwick " + ProjectVersion() + "\n", nullptr},
            {"short help", {"-h"}, "Usage: tarnwick [VOLUME]\n", "-V, --version"},
            // The first argument decides; the rest is not a path then.
            {"help with more after it", {"--help", "x.vol"}, "Usage: tarnwick [VOLUME]\n", "./--help"},
        };
        for (const Case& c : cases) {
            TempDir dir;
            ScopedEnv env;
            env.Set("QT_QPA_PLATFORM", "no-such-platform");
            env.Set("HOME", dir / "home");
            env.Set("XDG_RUNTIME_DIR", dir.Path());
            // Another copy runs: the switches answer all the same.
            tarnwick::os::InstanceLock running("tarnwick");
            QVERIFY2(running.Acquired(), c.name);
            const ToolRun run = RunTool(ToolPath("tarnwick"), c.args);
            QVERIFY2(run.exitCode == 0, (std::string(c.name) + ": " + run.err).c_str());
            QVERIFY2(run.out.rfind(c.outStartsWith, 0) == 0, (std::string(c.name) + ": " + run.out).c_str());
            if (c.outHolds)
                QVERIFY2(run.out.find(c.outHolds) != std::string::npos, c.name);
            QVERIFY2(run.err.empty(), c.name);
        }
    }

    void noWindowSystemIsOneLineNotAnAbort()
    {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        TempDir dir;
        ScopedEnv env;
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.Unset(name);
        env.Set("HOME", dir / "home");
        env.Set("XDG_RUNTIME_DIR", dir.Path());
        const ToolRun run = RunTool(ToolPath("tarnwick"), {"base.vol"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, std::string("tarnwick: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n"));
    }
};

QTEST_GUILESS_MAIN(CommandLineSwitchesTest)
#include "CommandLineSwitchesTest.moc"
