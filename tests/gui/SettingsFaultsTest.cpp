// The main window over settings files it cannot trust: it must start with
// defaults where it has to, and closing it must not cost the file its bytes.
#include "GuiSupport.h"
#include "support/SpecialFiles.h"

#include <QCheckBox>
#include <QtTest>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;
namespace fs = std::filesystem;

class SettingsFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void windowStartsOverAnUntrustworthyFileAndLeavesItsBytes()
    {
        static const char junk[] = "[Bin]\nk=\0\xff\r\n";
        const std::string binary(junk, sizeof junk - 1);
        const std::string big = "[Other]\nBig=" + std::string(1 << 20, 'b') + "\n;" + std::string(1 << 20, 'c') + "\n";
        const std::string cp1252 = "Path=C:\\Spiele\\\xe4nderung\n";
        struct Case {
            const char* what;
            std::string text; // empty: a folder in the file's place
            bool readOnly, splash;
            std::vector<std::string> after; // bytes the file holds after closing
        };
        const Case cases[] = {
            {"folder", {}, false, true, {}},
            {"read-only", "[Tarnwick]\r\nOverwrite=0\r\nSplash=0\r\nPath=/kept\r\n", true, false, {}},
            {"megabyte lines", big + "[Tarnwick]\nSplash=0\n", false, false, {big, "Overwrite=1\n"}},
            // Bytes that are no UTF-8 stay; numbers that are none give defaults.
            {"bytes that are no text",
             binary + "[Tarnwick]\n" + cp1252 + "Splash=x\xff\nOverwrite=yes\nPHX=\nPalette=7\nFileSystem=-1\n", false,
             true, {binary, cp1252, "PHX=1\n", "Palette=0\n", "FileSystem=1\n"}},
        };
        for (const Case& c : cases) {
            TempDir dir;
            fs::copy_file(ToolPath("extract"), dir / "extract");
            StartupOptions o = TestOptions(dir, c.text);
            if (c.text.empty()) {
                fs::remove(o.settingsPath);
                WriteFile(o.settingsPath + "/inside", "x");
            }
            if (c.readOnly)
                ::chmod(o.settingsPath.c_str(), 0444);
            ScriptedSink sink;
            auto s = Start(o);
            QVERIFY2(s->loaded, c.what);
            QCOMPARE(s->window->SplashWasShown, c.splash);
            QCOMPARE(s->window->chkOverwrite->checkState(), c.readOnly ? Qt::Unchecked : Qt::Checked);
            s->window->close();
            if (c.text.empty()) // still the folder, with what it held
                QCOMPARE(ReadFile(o.settingsPath + "/inside"), std::string("x"));
            if (c.readOnly)
                QCOMPARE(ReadFile(o.settingsPath), c.text);
            for (const std::string& bytes : c.after)
                QVERIFY2(ReadFile(o.settingsPath).find(bytes) != std::string::npos, c.what);
            QCOMPARE(sink.shown.size(), std::size_t(0)); // nor the extractor check: its default held
        }
    }

    // Whatever stands in the file's place that is no file, the window starts
    // with the defaults and its save of all eight settings leaves it as it was.
    void specialFileInTheSettingsPlaceSurvivesARun()
    {
        for (const SpecialKind kind : AllSpecialKinds()) {
            TempDir dir;
            fs::copy_file(ToolPath("extract"), dir / "extract");
            StartupOptions o = TestOptions(dir, "");
            fs::remove(o.settingsPath);
            QVERIFY2(MakeSpecialFile(kind, o.settingsPath), Describe(kind));
            ScriptedSink sink;
            ::alarm(60); // a blocking open of a FIFO ends the program rather than hanging it
            auto s = Start(o);
            QVERIFY2(s->loaded, Describe(kind));
            QCOMPARE(s->window->chkOverwrite->checkState(), Qt::Checked);
            s->window->chkOverwrite->setCheckState(Qt::Unchecked); // something to save
            s->window->close();
            ::alarm(0);
            QVERIFY2(IsSpecialFile(kind, o.settingsPath), Describe(kind));
            QCOMPARE(sink.shown.size(), std::size_t(0)); // a failed save is not reported
        }
    }
};

QTEST_MAIN(SettingsFaultsTest)
#include "SettingsFaultsTest.moc"
