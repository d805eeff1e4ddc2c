// Browsing folders and volumes, the volume menu and Properties.
#include "GuiSupport.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/NameListBox.h"
#include "platform/CommonRoutines.h"
#include "volume/PropertiesCommand_ui.h"
#include "volume/clsVOLReader.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

class BrowseTest : public QObject {
    Q_OBJECT
private:
    TempDir dir;
    std::unique_ptr<Started> s;
    std::unique_ptr<ScriptedSink> sink;

    static QStringList Names(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static QStringList Names(const NameListBox* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->Text(i);
        return out;
    }
    // `listed`: clicked, else only highlighted, as a right click does.
    void Click(const char* volume, bool listed = true)
    {
        FileListBox& f = *s->window->filVolumes;
        const QSignalBlocker quiet(listed ? nullptr : &f);
        const int row = Names(&f).indexOf(QString::fromLatin1(volume));
        listed ? f.SelectRow(row) : f.setCurrentRow(row);
    }

private slots:
    void init()
    {
        MakeVolume(dir / "vols/First.vol", {"zeta.cs", "Alpha.cs", "beta\\gamma.cs", "", "mid.cs"});
        // Header 20 + two blocks of 8 + 38 = PVOL 100; VOLS 10; VOLI 34.
        VolumeWriter v;
        v.Add("a.cs", std::string(38, 'a'));
        v.Add("b.cs", std::string(38, 'b'));
        WriteFile(dir / "vols/Hundred.vol", v.Build());
        MakeVolume(dir / "vols/Second.VOL", {"only.cs"});
        WriteFile(dir / "vols/Broken.vol", "PVOX not a volume");
        WriteFile(dir / "vols/notes.txt", "");
        WriteFile(dir / "vols/sub/inner.vol", "");
        sink = std::make_unique<ScriptedSink>();
        s = Start(TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nStart=" + dir / "vols" + "\n"));
        QVERIFY(s->loaded);
    }
    void cleanup()
    {
        s.reset();
        sink.reset(); // after the window, and before the next one is made
    }

    void browsingListsAVolumesNamesSortedAndOnlyOnce()
    {
        frmMain& w = *s->window;
        QCOMPARE(Names(w.filVolumes), (QStringList{"Broken.vol", "First.vol", "Hundred.vol", "Second.VOL"}));
        Click("First.vol");
        QCOMPARE(Names(w.lstData), (QStringList{"Alpha.cs", "beta\\gamma.cs", "mid.cs", "zeta.cs"}));
        // A second click on the listed volume reads nothing, even if it changed.
        w.lstData->SetSelected(0, true);
        MakeVolume(dir / "vols/First.vol", {"changed.cs"});
        Click("First.vol");
        QVERIFY(w.lstData->count() == 4 && w.lstData->IsSelected(0));
        Click("Broken.vol"); // silently lists nothing
        QCOMPARE(w.lstData->count(), 0);
        Click("First.vol");
        QCOMPARE(Names(w.lstData), QStringList{"changed.cs"});
        QCOMPARE(sink->shown.size(), std::size_t(0));

        // Another folder shows its volumes; the listing stays until a click.
        DirListBox& d = *w.dirMain;
        const std::string vols = GetLongFileName(dir / "vols");
        Click("Second.VOL");
        emit d.itemDoubleClicked(d.item(d.count() - 1));
        QCOMPARE(w.filVolumes->Path(), vols + "/sub");
        QCOMPARE(Names(w.filVolumes), QStringList{"inner.vol"});
        QCOMPARE(Names(w.lstData), QStringList{"only.cs"});
        // At the root the volume's path has one separator.
        d.SetPath("/");
        w.filVolumes->addItem(QStringLiteral("Root.vol"));
        w.filVolumes->SelectRow(w.filVolumes->count() - 1);
        QCOMPARE(w.VOL().Path(), std::string("/Root.vol"));
    }

    void volumeMenuShowsPropertiesOfAVolumeOnly()
    {
        frmMain& w = *s->window;
        w.show();
        w.filVolumes_MouseDown(Qt::RightButton, QPoint(10, 10)); // nothing selected
        QVERIFY(!w.mnuVolume->isVisible());
        Click("Second.VOL");
        Click("Hundred.vol", false);
        w.filVolumes_MouseDown(Qt::RightButton, QPoint(10, 10));
        QVERIFY(w.mnuVolume->isVisible());
        QStringList seen;
        QTimer::singleShot(0, [&] {
            QWidget* win = QApplication::activeModalWidget();
            for (const char* n : {"labName", "labPVOL", "labVOLS", "labVOLI", "labFileCount", "labSize", "labDate"})
                seen << win->findChild<QLabel*>(QString::fromLatin1(n))->text();
            win->close();
        });
        w.mnuProperties->trigger();
        QCOMPARE(seen.mid(0, 6), (QStringList{"Hundred.vol", "100", "10", "34", "2", QString::number(ReadFile(dir / "vols/Hundred.vol").size())}));
        QVERIFY(seen.size() == 7 && !seen[6].isEmpty() && seen[6] != QStringLiteral("..."));
        QCOMPARE(Names(w.lstData), (QStringList{"a.cs", "b.cs"}));

        Click("Broken.vol", false);
        mnuProperties_Click(w);
        QCOMPARE(sink->events, (std::vector<std::string>{"beep", "box"}));
        QCOMPARE(sink->shown[0].text, GetLongFileName(dir / "vols") + "/Broken.vol is not a valid Starsiege: Tribes 1.X volume file.");
        QCOMPARE(Names(w.lstData), (QStringList{"a.cs", "b.cs"}));

        // A signature with a directory past the end: no details window with
        // the values of the volume listed before, whether or not the damaged
        // one was clicked first.
        WriteFile(dir / "vols/Damaged.vol", "PVOL" + Le32(0x7FFFFF00));
        for (const bool clickedFirst : {false, true}) {
            Click("Hundred.vol", false);
            w.filVolumes->addItem(QStringLiteral("Damaged.vol"));
            if (clickedFirst)
                w.filVolumes->SelectRow(w.filVolumes->count() - 1);
            else
                w.filVolumes->setCurrentRow(w.filVolumes->count() - 1);
            sink->events.clear();
            sink->shown.clear();
            bool detailsShown = false;
            QTimer::singleShot(0, [&] {
                if (QWidget* win = QApplication::activeModalWidget()) {
                    detailsShown = true;
                    win->close();
                }
            });
            mnuProperties_Click(w);
            QVERIFY(!detailsShown);
            QCOMPARE(sink->events, (std::vector<std::string>{"beep", "box"}));
            QCOMPARE(sink->shown[0].text, GetLongFileName(dir / "vols") + "/Damaged.vol is damaged: its list of files cannot be read.");
            delete w.filVolumes->takeItem(w.filVolumes->count() - 1);
        }
    }
};

QTEST_MAIN(BrowseTest)
#include "BrowseTest.moc"
