// The main window over settings files it cannot trust: a folder in the
// file's place, a read-only file, a megabyte line, bytes that are no text.
// The window must come up with defaults where it has to, and closing it must
// never cost the file what it held.
#include "GuiSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include <filesystem>
#include <sys/stat.h>

using namespace tarnwick;
using namespace tarnwick::test;
namespace fs = std::filesystem;

class SettingsFaultsTest : public QObject {
    Q_OBJECT
private:
    // A program folder with the extractor beside the program, so that no
    // settings are needed to start without a prompt.
    static StartupOptions Options(const TempDir& dir)
    {
        fs::copy_file(ToolPath("extract"), dir / "extract");
        StartupOptions o;
        o.programFolder = dir.Path();
        o.settingsPath = dir / "cairnix.ini";
        o.splashMilliseconds = 10;
        return o;
    }

    // Starts, checks, changes a setting and closes the window.
    static bool StartAndClose(const StartupOptions& o, const std::function<void(frmMain&)>& check = {})
    {
        frmMain w(o);
        w.PickExtractor = [](const std::string&) -> std::optional<std::string> { return std::nullopt; };
        if (!w.Form_Load())
            return false;
        if (check)
            check(w);
        w.chkOverwrite->setCheckState(Qt::Unchecked);
        w.close();
        return true;
    }

private slots:
    void folderInPlaceOfTheFileStartsWithDefaultsAndStaysAFolder()
    {
        TempDir dir;
        StartupOptions o = Options(dir);
        fs::create_directory(o.settingsPath);
        WriteFile(o.settingsPath + "/inside", "x");
        ScriptedSink sink;
        QVERIFY(StartAndClose(o, [&](frmMain& w) {
            QCOMPARE(w.chkOverwrite->checkState(), Qt::Checked);
            QCOMPARE(w.txtExtractPath->text().toStdString(), dir / "extract");
        }));
        QVERIFY(fs::is_directory(o.settingsPath));
        QCOMPARE(ReadFile(o.settingsPath + "/inside"), std::string("x"));
    }

    void readOnlyFileIsReadAndLeftAsItWas()
    {
        TempDir dir;
        StartupOptions o = Options(dir);
        const std::string text = "[Tarnwick]\r\nOverwrite=1\r\nSplash=0\r\nPath=/kept/dest\r\n";
        WriteFile(o.settingsPath, text);
        ::chmod(o.settingsPath.c_str(), 0444);
        ScriptedSink sink;
        QVERIFY(StartAndClose(o, [](frmMain& w) {
            QCOMPARE(w.txtPath->text(), QStringLiteral("/kept/dest"));
            QVERIFY(!w.SplashWasShown);
        }));
        QCOMPARE(ReadFile(o.settingsPath), text);
    }

    void megabyteLinesElsewhereSurviveTheSave()
    {
        TempDir dir;
        StartupOptions o = Options(dir);
        const std::string other = "[Other]\nBig=" + std::string(1 << 20, 'b') + "\n";
        const std::string comment = ";" + std::string(1 << 20, 'c') + "\n";
        WriteFile(o.settingsPath, other + "[Tarnwick]\n" + comment + "Splash=0\n");
        ScriptedSink sink;
        QVERIFY(StartAndClose(o, [](frmMain& w) { QVERIFY(!w.SplashWasShown); }));
        const std::string after = ReadFile(o.settingsPath);
        QCOMPARE(after.substr(0, other.size()), other);
        QVERIFY(after.find(comment) != std::string::npos);
        QVERIFY(after.find("Overwrite=0\n") != std::string::npos);
    }

    void bytesThatAreNoTextAreNotRewritten()
    {
        TempDir dir;
        StartupOptions o = Options(dir);
        // A path written by a Windows-1252 system, a NUL and a lone CR in
        // another section: none of it is UTF-8, none of it may change.
        static const char junk[] = "[Bin]\nk=\0\xff\r\n";
        const std::string other(junk, sizeof junk - 1);
        const std::string path = "Path=C:\\Spiele\\Tribes\\\xe4nderung";
        WriteFile(o.settingsPath, other + "[Tarnwick]\n" + path + "\nSplash=x\xff\n");
        ScriptedSink sink;
        QVERIFY(StartAndClose(o, [](frmMain& w) {
            // An unreadable number falls back to its default.
            QVERIFY(w.SplashWasShown);
        }));
        const std::string after = ReadFile(o.settingsPath);
        QCOMPARE(after.substr(0, other.size()), other);
        QVERIFY2(after.find(path + "\n") != std::string::npos, after.c_str());
    }
};

QTEST_MAIN(SettingsFaultsTest)
#include "SettingsFaultsTest.moc"
