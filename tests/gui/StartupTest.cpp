// Start-up of the main window: command line, settings, extractor check,
// splash and the one-instance rule, on real files.
#include "GuiSupport.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/FileListBox.h"
#include "platform/CommonRoutines.h"
#include "platform/os/Instance.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

class StartupTest : public QObject {
    Q_OBJECT
private:
    struct Started {
        std::unique_ptr<frmMain> window;
        bool loaded = false;
        int extractorDialogs = 0;
    };
    Started Start(StartupOptions o)
    {
        Started s;
        s.window = std::make_unique<frmMain>(o);
        auto* count = &s.extractorDialogs;
        s.window->PickExtractor = [count](const std::string&) -> std::optional<std::string> {
            ++*count;
            return std::nullopt;
        };
        s.loaded = s.window->Form_Load();
        return s;
    }

private slots:
    void commandLineVolumeInAnotherFolderIsListedWithoutSplashOrCheck()
    {
        TempDir dir;
        MakeVolume(dir / "games/base/Scripts.vol", {"b.cs", "a.cs", "ai\\bot.cs"});
        MakeVolume(dir / "games/base/Other.vol", {"x.cs"});
        // Splash on and the extractor missing: neither must show.
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=1\nExtract=" + dir / "nothing" + "\n");
        o.commandTail = "\"" + dir / "games/base/Scripts.vol" + "\"";
        ScriptedSink sink;
        Started s = Start(o);
        QVERIFY(s.loaded);
        QCOMPARE(sink.shown.size(), std::size_t(0));
        QCOMPARE(s.extractorDialogs, 0);
        QVERIFY(!s.window->SplashWasShown);
        QCOMPARE(s.window->DirPath(), GetLongFileName(dir / "games/base"));
        QCOMPARE(s.window->SelectedVolumeName(), std::string("Scripts.vol"));
        QCOMPARE(s.window->lstData->count(), 3);
        QCOMPARE(s.window->lstData->item(0)->text(), QStringLiteral("a.cs"));
        // The drive list names the file system that holds the folder.
        const std::string drive = s.window->drvMain->currentText().toStdString();
        QVERIFY(!drive.empty());
        QCOMPARE(s.window->DirPath().rfind(drive, 0), std::size_t(0));
    }

    void quotesAreTakenOffOnePerEnd()
    {
        QCOMPARE(CleanCommandLinePath("\"a b.vol\""), std::string("a b.vol"));
        QCOMPARE(CleanCommandLinePath("\"a b.vol"), std::string("a b.vol"));
        QCOMPARE(CleanCommandLinePath("a b.vol\""), std::string("a b.vol"));
        QCOMPARE(CleanCommandLinePath("a b.vol"), std::string("a b.vol"));
        QCOMPARE(CleanCommandLinePath("\"\"x.vol\"\""), std::string("\"x.vol\""));
        QCOMPARE(CleanCommandLinePath(" x.vol "), std::string(" x.vol "));
    }

    void halfQuotedCommandLineStillOpensTheVolume()
    {
        TempDir dir;
        MakeVolume(dir / "v/Half.vol", {"one.cs"});
        for (const std::string& tail : {"\"" + dir / "v/Half.vol", dir / "v/Half.vol" + "\""}) {
            StartupOptions o = TestOptions(dir, SettingsWithExtractor());
            o.commandTail = tail;
            ScriptedSink sink;
            Started s = Start(o);
            QVERIFY(s.loaded);
            QCOMPARE(sink.shown.size(), std::size_t(0));
            QCOMPARE(s.window->lstData->count(), 1);
        }
    }

    void rejectedCommandLinesReportAndStartAsWithoutOne()
    {
        TempDir dir;
        MakeVolume(dir / "start/Default.vol", {"d.cs"});
        WriteFile(dir / "notes.txt", "text");
        struct Case {
            std::string tail;
            std::vector<std::string> messages;
        };
        const std::string missingVol = dir / "Missing.VOL";
        const std::string missingTxt = dir / "Missing.txt";
        const std::string existingTxt = dir / "notes.txt";
        const std::vector<Case> cases = {
            {missingVol, {missingVol + " is not a valid path to a volume (*.vol) file."}},
            {missingTxt,
             {missingTxt + " is not a valid path to a volume (*.vol) file.",
              missingTxt + " is not a valid volume (*.vol) file."}},
            {existingTxt, {existingTxt + " is not a valid volume (*.vol) file."}},
        };
        for (const Case& c : cases) {
            StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=1\nStart=" + dir / "start/Default.vol" +
                                                    "\nExtract=" + dir / "gone" + "\n");
            o.commandTail = c.tail;
            ScriptedSink sink;
            sink.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
            Started s = Start(o);
            QVERIFY(s.loaded);
            // The command line's messages, then the extractor check of a
            // start without a volume.
            QCOMPARE(sink.shown.size(), c.messages.size() + 1);
            for (std::size_t i = 0; i < c.messages.size(); ++i) {
                QCOMPARE(sink.shown[i].text, c.messages[i]);
                QCOMPARE(sink.shown[i].icon, MsgIcon::Critical);
            }
            QCOMPARE(sink.beeps, int(c.messages.size()));
            QCOMPARE(sink.shown.back().buttons, MsgButtons::OKCancel);
            QCOMPARE(s.extractorDialogs, 1);
            QVERIFY(s.window->SplashWasShown);
            QCOMPARE(s.window->DirPath(), GetLongFileName(dir / "start"));
            QCOMPARE(s.window->lstData->count(), 0);
        }
    }

    void missingExtractorCancelEndsWithoutWritingSettings()
    {
        TempDir dir;
        const std::string before = "[Tarnwick]\nSplash=0\nExtract=" + dir / "gone" + "\n[Other]\nk=v\n";
        StartupOptions o = TestOptions(dir, before);
        ScriptedSink sink;
        sink.answers = {MsgAnswer::Cancel};
        {
            Started s = Start(o);
            QVERIFY(!s.loaded);
            QCOMPARE(s.extractorDialogs, 0);
            QCOMPARE(sink.shown.size(), std::size_t(1));
            QCOMPARE(sink.shown[0].text, Join(dir.Path(), "extract") +
                                             " was not located.  Extract is a required component for Tarnwick to "
                                             "function.  Please locate it.");
            QCOMPARE(sink.beeps, 0);
            s.window->close();
        }
        QCOMPARE(ReadFile(o.settingsPath), before);
    }

    void secondInstanceShowsTheMessageAndTouchesNothing()
    {
        TempDir dir;
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=1\n");
        o.anotherInstanceRunning = true;
        ScriptedSink sink;
        {
            Started s = Start(o);
            QVERIFY(!s.loaded);
            s.window->close();
        }
        QCOMPARE(sink.Texts(), std::vector<std::string>{"You may only run one instance of Tarnwick at a time."});
        QCOMPARE(sink.shown[0].icon, MsgIcon::Information);
        QCOMPARE(sink.events, (std::vector<std::string>{"beep", "box"}));
        QCOMPARE(ReadFile(o.settingsPath), std::string("[Tarnwick]\nSplash=1\n"));
    }

    void instanceLockAdmitsOneHolderAndOutlivesNoCrash()
    {
        TempDir dir;
        {
            os::InstanceLock first("tarnwick-test", dir.Path());
            QVERIFY(first.Acquired());
            os::InstanceLock second("tarnwick-test", dir.Path());
            QVERIFY(second.Usable());
            QVERIFY(!second.Acquired());
        }
        // The lock file stays behind, as after a crash: it blocks no one.
        QVERIFY(Exists(dir / "tarnwick-test.lock"));
        os::InstanceLock again("tarnwick-test", dir.Path());
        QVERIFY(again.Acquired());
    }

    void startFolderFollowsTheDefaultSourcePath()
    {
        TempDir dir;
        WriteFile(dir / "games/base/keep", "");
        WriteFile(dir / "data.old/keep", "");
        struct Case {
            std::string start, shown;
        };
        const std::vector<Case> cases = {
            {dir / "games/base/entities.vol", dir / "games/base"}, // missing file: its folder
            {dir / "games", dir / "games"},
            {dir / "data.old", dir.Path()}, // taken for a file
            {dir / "nowhere/at/all", dir.Path()},
        };
        for (const Case& c : cases) {
            WriteFile(dir / "games/base/entities.vol", "");
            if (c.start.find("entities") == std::string::npos)
                std::remove((dir / "games/base/entities.vol").c_str());
            StartupOptions o = TestOptions(dir, SettingsWithExtractor("Start=" + c.start + "\n"));
            ScriptedSink sink;
            Started s = Start(o);
            QVERIFY(s.loaded);
            QCOMPARE(s.window->DirPath(), GetLongFileName(c.shown));
        }
    }

    void firstRunDefaultsAndTheFileWrittenAtExit()
    {
        TempDir dir;
        StartupOptions o;
        o.programFolder = dir.Path();
        o.settingsPath = dir / "cairnix.ini";
        o.splashMilliseconds = 20;
        ScriptedSink sink;
        sink.answers = {MsgAnswer::OK};
        {
            Started s = Start(o);
            QVERIFY(s.loaded);
            frmMain& w = *s.window;
            QCOMPARE(w.chkOverwrite->checkState(), Qt::Checked);
            QCOMPARE(w.chkPHX->checkState(), Qt::Checked);
            QCOMPARE(w.chkSplash->checkState(), Qt::Checked);
            QCOMPARE(w.chkFileSystem->checkState(), Qt::Checked);
            QCOMPARE(w.cboPHX->currentText(), QStringLiteral("Palette 1"));
            QCOMPARE(w.txtPath->text().toStdString(), dir.Path());
            QCOMPARE(w.txtDefSearchPath->text().toStdString(), dir.Path());
            QCOMPARE(w.txtExtractPath->text().toStdString(), dir / "extract");
            QVERIFY(w.SplashWasShown);
            w.txtPath->setText(QStringLiteral("/Some/Dest"));
            w.chkSplash->setCheckState(Qt::Unchecked);
            w.close();
        }
        QCOMPARE(ReadFile(o.settingsPath),
                 "[Tarnwick]\nOverwrite=1\nPHX=1\nPalette=0\nPath=/Some/Dest\nExtract=" + dir / "extract" +
                     "\nStart=" + dir.Path() + "\nSplash=0\nFileSystem=1\n");
    }

    void storedValuesRoundTripAndOtherSectionsStay()
    {
        TempDir dir;
        const std::string other = "; shared by the suite\r\n[Cairnix]\r\nTheme = Dark \r\n";
        StartupOptions o = TestOptions(dir, other + "[tarnwick]\r\nOverwrite=0\r\nPalette=2\r\nSplash=0\r\n"
                                                    "FileSystem=0\r\nExtract=" + ToolPath("extract") + "\r\n");
        ScriptedSink sink;
        {
            Started s = Start(o);
            QVERIFY(s.loaded);
            QCOMPARE(s.window->chkOverwrite->checkState(), Qt::Unchecked);
            QCOMPARE(s.window->cboPHX->currentIndex(), 2);
            QCOMPARE(s.window->chkFileSystem->checkState(), Qt::Unchecked);
            QVERIFY(!s.window->SplashWasShown);
            s.window->close();
        }
        const std::string after = ReadFile(o.settingsPath);
        QCOMPARE(after.substr(0, other.size()), other);
        QVERIFY(after.find("Overwrite=0\r\n") != std::string::npos);
        QVERIFY(after.find("Palette=2\r\n") != std::string::npos);
    }

    void unusableStoredNumbersFallBackToDefaults()
    {
        TempDir dir;
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") +
                                                "\nOverwrite=yes\nPHX=\nPalette=7\nFileSystem=-1\nSplash=0x1\n");
        ScriptedSink sink;
        Started s = Start(o);
        QVERIFY(s.loaded);
        QCOMPARE(s.window->chkOverwrite->checkState(), Qt::Checked);
        QCOMPARE(s.window->chkPHX->checkState(), Qt::Checked);
        QCOMPARE(s.window->cboPHX->currentIndex(), 0);
        QCOMPARE(s.window->chkFileSystem->checkState(), Qt::Checked);
        QVERIFY(s.window->SplashWasShown);
    }

    void settingsMoveToTheUserFolderWhenTheProgramFolderIsReadOnly()
    {
        TempDir dir;
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir / "config"));
        QCOMPARE(SettingsFilePath(dir.Path()), dir / "cairnix.ini");
        QCOMPARE(SettingsFilePath(dir / "no/such/folder"), dir / "config/cairnix.ini");
        qunsetenv("XDG_CONFIG_HOME");
    }

private:
    static std::string Join(const std::string& a, const std::string& b) { return a + "/" + b; }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
