// A file dropped on the main window: opened as a volume named on the
// command line is, or refused with the command line's messages.
#include "GuiSupport.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/NameListBox.h"
#include "platform/CommonRoutines.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTabBar>
#include <QUrl>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

class DropVolumeTest : public QObject {
    Q_OBJECT
private:
    // Drags the URLs over the window and drops them; whether the window
    // took the drag when it entered.
    static bool Drop(frmMain& w, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(w.width() / 2, w.height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        return true;
    }
    static QUrl File(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

private slots:
    void aDroppedVolumeIsListedAndAnythingElseGetsTheCommandLinesMessages()
    {
        TempDir dir;
        const std::string vol = dir / "games/base/Scripts.vol", other = dir / "other/Second.vol",
                          txt = dir / "notes.txt";
        MakeVolume(vol, {"b.cs", "a.cs", "ai\\bot.cs"});
        MakeVolume(other, {"x.cs"});
        MakeVolume(dir / "start/Default.vol", {"d.cs"});
        WriteFile(txt, "text");
        const std::string noPath = " is not a valid path to a volume (*.vol) file.",
                          noVolume = " is not a valid volume (*.vol) file.";
        struct Case {
            QList<QUrl> urls;
            std::vector<std::string> messages;
            std::string folder, volume; // what the lists show after it
            int names;
        };
        const std::string start = GetLongFileName(dir / "start");
        const Case cases[] = {
            {{File(vol)}, {}, GetLongFileName(dir / "games/base"), "Scripts.vol", 3},
            // Several files: the first, as the command line takes one.
            {{File(other), File(vol)}, {}, GetLongFileName(dir / "other"), "Second.vol", 1},
            {{File(dir / "Missing.VOL")}, {dir / "Missing.VOL" + noPath}, start, "", 0},
            {{File(dir / "Missing.txt")}, {dir / "Missing.txt" + noPath, dir / "Missing.txt" + noVolume}, start, "", 0},
            {{File(txt)}, {txt + noVolume}, start, "", 0},
            // A folder is no file, and does not end in .vol either.
            {{File(dir / "games")}, {dir / "games" + noPath, dir / "games" + noVolume}, start, "", 0},
        };
        for (const Case& c : cases) {
            ScriptedSink sink;
            auto s = Start(TestOptions(dir, "[Tarnwick]\nSplash=0\nStart=" + dir / "start" + "\nExtract=" + dir / "start/Default.vol" + "\n"));
            QVERIFY(s->loaded);
            frmMain& w = *s->window;
            w.tbsMain->setCurrentIndex(1); // dropped while the Options page is in front
            QVERIFY(Drop(w, c.urls));
            QCOMPARE(sink.texts, c.messages);
            QCOMPARE(std::count(sink.events.begin(), sink.events.end(), "beep"), std::ptrdiff_t(c.messages.size()));
            QCOMPARE(w.DirPath(), c.folder);
            QCOMPARE(w.SelectedVolumeName(), c.volume);
            QCOMPARE(w.lstData->count(), c.names);
            QCOMPARE(w.tbsMain->currentIndex(), c.messages.empty() ? 0 : 1);
        }
    }

    void anExactNameWinsOverOneThatDiffersOnlyInCase()
    {
        TempDir dir;
        MakeVolume(dir / "base.vol", {"mine.cs"});
        MakeVolume(dir / "Base.vol", {"other.cs", "more.cs"});
        for (const char* name : {"base.vol", "Base.vol"}) {
            ScriptedSink sink;
            auto s = Start(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + dir / "base.vol" + "\n"));
            QVERIFY(Drop(*s->window, {File(dir / name)}));
            QCOMPARE(s->window->SelectedVolumeName(), std::string(name));
            QCOMPARE(s->window->CurrentVolume, dir / name);
        }
    }

    void onlyLocalFilesAreTaken()
    {
        TempDir dir;
        ScriptedSink sink;
        auto s = Start(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + dir / "cairnix.ini" + "\n"));
        QVERIFY(!Drop(*s->window, {QUrl(QStringLiteral("https://example.org/Base.vol"))}));
        QVERIFY(!Drop(*s->window, {}));
        QVERIFY(sink.texts.empty());
    }
};

QTEST_MAIN(DropVolumeTest)
#include "DropVolumeTest.moc"
