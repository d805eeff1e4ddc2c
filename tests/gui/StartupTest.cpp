// Start-up of the main window on real files: command line, settings,
// extractor check, splash and the one-instance rule.
#include "GuiSupport.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/NameListBox.h"
#include "platform/CommonRoutines.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void commandLineVolumeIsListedOrReportedAndLeftOut()
    {
        TempDir dir;
        const std::string vol = dir / "games/base/Scripts.vol", txt = dir / "notes.txt";
        MakeVolume(vol, {"b.cs", "a.cs", "ai\\bot.cs"});
        MakeVolume(dir / "start/Default.vol", {"d.cs"});
        WriteFile(txt, "text");
        const std::string noPath = " is not a valid path to a volume (*.vol) file.",
                          noVolume = " is not a valid volume (*.vol) file.";
        // One quote goes from each end, if there.
        const std::pair<std::string, std::vector<std::string>> cases[] = {
            {"\"" + vol + "\"", {}}, {"\"" + vol, {}}, {vol + "\"", {}},
            {dir / "Missing.VOL", {dir / "Missing.VOL" + noPath}},
            {dir / "Missing.txt", {dir / "Missing.txt" + noPath, dir / "Missing.txt" + noVolume}},
            {txt, {txt + noVolume}},
        };
        for (const auto& [tail, messages] : cases) {
            StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=1\nStart=" + dir / "start/Default.vol" +
                                                    "\nExtract=" + dir / "gone" + "\n");
            o.commandTail = tail;
            ScriptedSink sink;
            auto s = Start(o);
            QVERIFY(s->loaded);
            const bool listed = messages.empty();
            // Without a volume to show, the splash and the extractor check come as usual.
            std::vector<std::string> texts = messages;
            if (!listed)
                texts.push_back(dir / "extract" + " was not located.  Extract is a required component for Tarnwick "
                                                  "to function.  Please locate it.");
            QCOMPARE(sink.texts, texts);
            QCOMPARE(std::count(sink.events.begin(), sink.events.end(), "beep"), std::ptrdiff_t(messages.size()));
            QCOMPARE(s->extractorDialogs, listed ? 0 : 1);
            QCOMPARE(s->window->SplashWasShown, !listed);
            QCOMPARE(s->window->DirPath(), GetLongFileName(dir / (listed ? "games/base" : "start")));
            QCOMPARE(s->window->SelectedVolumeName(), std::string(listed ? "Scripts.vol" : ""));
            QCOMPARE(s->window->lstData->count(), listed ? 3 : 0);
        }
    }

    void anExactNameWinsOverOneThatDiffersOnlyInCase()
    {
        TempDir dir;
        MakeVolume(dir / "base.vol", {"mine.cs"});
        MakeVolume(dir / "Base.vol", {"other.cs", "more.cs"});
        const std::pair<std::string, std::string> cases[] = {{"base.vol", "base.vol"}, {"Base.vol", "Base.vol"}};
        for (const auto& [typed, selected] : cases) {
            StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\n");
            o.commandTail = dir / typed;
            ScriptedSink sink;
            auto s = Start(o);
            QVERIFY(s->loaded);
            QCOMPARE(s->window->SelectedVolumeName(), selected);
            QCOMPARE(s->window->CurrentVolume, dir / selected);
        }
    }

    void startFolderIsTheNearestOneThatExists()
    {
        TempDir dir;
        WriteFile(dir / "games/base/keep", "");
        WriteFile(dir / "data.old/keep", "");
        WriteFile(dir / "extract", "");
        const std::pair<std::string, std::string> cases[] = {
            {dir / "games/base/entities.vol", dir / "games/base"}, // deleted since it was stored
            {dir / "games", dir / "games"},
            {dir / "data.old", dir.Path()}, // taken for a file
            {dir / "games/gone/deeper", dir / "games"},
            {"", dir.Path()},
        };
        for (const auto& [start, shown] : cases) {
            ScriptedSink sink;
            auto s = Start(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + dir / "extract" + "\nStart=" + start + "\n"));
            QVERIFY(s->loaded);
            QCOMPARE(s->window->DirPath(), GetLongFileName(shown));
        }
    }

    void abortedStartsLeaveTheSettingsAlone()
    {
        TempDir dir;
        const std::string settings = "[Tarnwick]\nSplash=1\nExtract=" + dir / "gone" + "\n[Other]\nk=v\n";
        for (const bool secondInstance : {true, false}) {
            StartupOptions o = TestOptions(dir, settings);
            o.anotherInstanceRunning = secondInstance;
            ScriptedSink sink;
            sink.answers = {MsgAnswer::Cancel};
            auto s = Start(o);
            QVERIFY(!s->loaded && !s->window->SplashWasShown && s->extractorDialogs == 0);
            s->window->close();
            QCOMPARE(ReadFile(o.settingsPath), settings);
            QCOMPARE(sink.events, (secondInstance ? std::vector<std::string>{"beep", "box"} : std::vector<std::string>{"box"}));
            QVERIFY(sink.texts[0].find(secondInstance ? "may only run one instance" : "was not located") != std::string::npos);
        }
    }

    void settingsAreReadAndWrittenBackAtExit()
    {
        TempDir dir;
        const std::string other = "; shared by the suite\r\n[Cairnix]\r\nTheme = Dark \r\n";
        WriteFile(dir / "extract", "");
        // No file at first: every default, written in full.
        const std::pair<std::string, std::vector<std::string>> cases[] = {
            {{}, {"[Tarnwick]\nOverwrite=1\nPHX=1\nPalette=0\nPath=/Some/Dest\nExtract=" + dir / "extract" +
                  "\nStart=" + dir.Path() + "\nSplash=1\nFileSystem=1\n"}},
            {other + "[tarnwick]\r\nOverwrite=0\r\nPalette=2\r\nSplash=0\r\nFileSystem=0\r\n",
             {other, "Overwrite=0\r\n", "Palette=2\r\n", "Splash=0\r\n", "FileSystem=0\r\n", "Path=/Some/Dest\r\n"}},
        };
        for (const auto& [settings, saved] : cases) {
            StartupOptions o = TestOptions(dir, settings);
            if (settings.empty())
                std::remove(o.settingsPath.c_str());
            ScriptedSink sink;
            auto s = Start(o);
            QCOMPARE(s->window->SplashWasShown, settings.empty());
            s->window->txtPath->setText(QStringLiteral("/Some/Dest"));
            s->window->close();
            const std::string after = ReadFile(o.settingsPath);
            for (const std::string& line : saved)
                QVERIFY2(after.find(line) != std::string::npos, (line + " not in:\n" + after).c_str());
        }
        // An installed program, which cannot write its own folder, keeps them with the user.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir / "config"));
        QCOMPARE(SettingsFilePath(dir.Path()), dir / "cairnix.ini");
        QCOMPARE(SettingsFilePath(dir / "no/such/folder"), dir / "config/cairnix.ini");
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
