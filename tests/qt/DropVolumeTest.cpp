// A file dropped on the main window reaches the form, which opens it as a
// volume named on the command line.
#include "GuiSupport.h"
#include "qt/FileListBox.h"
#include "qt/NameListBox.h"

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
    // What the drop hands the form is its first local file; the checks and
    // messages are the form's (tested there).
    void theFirstLocalFileIsOpenedAndNothingElseIsTaken()
    {
        TempDir dir;
        MakeVolume(dir / "a/First.vol", {"x.cs"});
        MakeVolume(dir / "b/Second.vol", {"y.cs", "z.cs"});
        ScriptedSink sink;
        auto s = StartWindow(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\n"));
        frmMain& w = *s->window;
        QVERIFY(!Drop(w, {QUrl(QStringLiteral("https://example.org/Base.vol"))}));
        QVERIFY(!Drop(w, {}));
        QVERIFY(sink.texts.empty());
        w.tbsMain->setCurrentIndex(1);
        QVERIFY(Drop(w, {File(dir / "b/Second.vol"), File(dir / "a/First.vol")}));
        QCOMPARE(s->form().SelectedVolumeName(), std::string("Second.vol"));
        // The window shows what the form now holds.
        QCOMPARE(w.tbsMain->currentIndex(), 0);
        QVERIFY(w.picBase[0]->isVisibleTo(&w) && !w.picBase[1]->isVisibleTo(&w));
        QCOMPARE(w.lstData->count(), 2);
        QCOMPARE(w.filVolumes->currentItem()->text(), QStringLiteral("Second.vol"));
        QVERIFY(sink.texts.empty());
    }
};

QTEST_MAIN(DropVolumeTest)
#include "DropVolumeTest.moc"
