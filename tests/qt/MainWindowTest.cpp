// The main window in Qt: laid out from its form's table, and wired both
// ways: what the user does reaches the form, what the form holds is shown.
#include "GuiSupport.h"
#include "qt/DirListBox.h"
#include "qt/FileListBox.h"
#include "qt/NameListBox.h"
#include "services/CommonRoutines.h"
#include "qt/LayoutWidgets.h"
#include "qt/WindowFont.h"
#include "support/ScopedEnv.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include <filesystem>

using namespace tarnwick;
using namespace tarnwick::test;
namespace fs = std::filesystem;

class MainWindowTest : public QObject {
    Q_OBJECT
private:
    TempDir dir;

private slots:
    void everyControlSitsWhereTheTableSaysWithItsCaption()
    {
        ScriptedSink sink;
        auto s = StartWindow(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\n"));
        const WindowLayout& layout = MainForm::Layout();
        QCOMPARE(s->window->size(), QSize(Twips(layout.width), Twips(layout.height)));
        QCOMPARE(s->window->windowTitle(), QStringLiteral("Tarnwick"));
        for (const ControlPlace& c : layout.controls) {
            const auto* w = s->window->findChild<QWidget*>(LayoutWidgets::ObjectName(c.name));
            QVERIFY2(w, c.name);
            if (c.kind != ControlKind::TabStrip) // as wide as the window, as high as its font needs
                QCOMPARE(w->geometry(), TwipRect(c.left, c.top, c.width, c.height));
            QCOMPARE(w->isEnabled(), c.enabled);
            QString caption;
            if (const auto* b = qobject_cast<const QAbstractButton*>(w))
                caption = b->text();
            else if (const auto* l = qobject_cast<const QLabel*>(w))
                caption = l->text();
            else
                continue;
            QCOMPARE(caption, QString::fromLatin1(c.caption));
        }
    }

    void whatTheUserDoesReachesTheFormAndTheFormIsShown()
    {
        MakeVolume(dir / "v/Base.vol", {"b.cs", "a.cs", "c.cs"});
        MakeVolume(dir / "v/Other.vol", {"x.cs"});
        WriteFile(dir / "v/sub/keep", "");
        ScriptedSink sink;
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\nStart=" +
                                                dir / "v" + "\nOverwrite=2\n");
        auto s = StartWindow(o);
        frmMain& w = *s->window;
        MainForm& f = s->form();
        // Loaded values are shown, a grey box as grey.
        QCOMPARE(w.txtExtractPath->text().toStdString(), ToolPath("extract"));
        QCOMPARE(w.chkOverwrite->checkState(), Qt::PartiallyChecked);
        QCOMPARE(w.filVolumes->count(), 2);

        // A click on a volume lists it; the list's buttons select through the form.
        emit w.filVolumes->itemClicked(w.filVolumes->item(0));
        QCOMPARE(f.SelectedVolumeName(), std::string("Base.vol"));
        QCOMPARE(w.lstData->count(), 3);
        QCOMPARE(w.lstData->Text(0), QStringLiteral("a.cs"));
        w.cmdSelAll->click();
        QVERIFY(f.lstData.SelectedCount() == 3 && w.lstData->selectionModel()->selectedRows().size() == 3);
        w.lstData->selectionModel()->select(w.lstData->model()->index(1, 0), QItemSelectionModel::Toggle);
        QCOMPARE(f.lstData.SelectedNames(), (std::vector<std::string>{"a.cs", "c.cs"}));
        w.cmdDelAll->click();
        QVERIFY(!f.lstData.HasSelection() && !w.lstData->selectionModel()->hasSelection());

        // Typing, ticking and the tabs.
        w.txtPath->clear();
        QTest::keyClicks(w.txtPath, "/typed/here");
        QCOMPARE(f.txtPath, std::string("/typed/here"));
        w.chkSplash->click(); // it was off
        QCOMPARE(f.chkSplash, CheckState::Checked);
        w.tbsMain->setCurrentIndex(1);
        QVERIFY(f.tbsMain == 1 && w.picBase[1]->isVisibleTo(&w) && !w.picBase[0]->isVisibleTo(&w));

        // The folder list opens folders; the pickers and the menu go to the toolkit.
        const int sub = w.dirMain->count() - 1;
        emit w.dirMain->itemDoubleClicked(w.dirMain->item(sub));
        QCOMPARE(f.DirPath(), GetLongFileName(dir / "v/sub"));
        QCOMPARE(w.filVolumes->count(), 0);
        QCOMPARE(w.dirMain->currentRow(), f.dirMain.CurrentRow());
        s->toolkit.folders = {"/picked"};
        w.cmdBrowse->click();
        QCOMPARE(w.txtPath->text(), QStringLiteral("/picked"));
        w.cmdAbout->click();
        QCOMPARE(s->toolkit.folderTitles, std::vector<std::string>{"Select Destination Path"});
        QCOMPARE(s->toolkit.shown, std::vector<std::string>{"about"});

        // Closing saves what the window showed.
        w.close();
        const std::string saved = ReadFile(o.settingsPath);
        QVERIFY(saved.find("Path=/picked") != std::string::npos && saved.find("Splash=1") != std::string::npos);
        QVERIFY(saved.find("Overwrite=2") != std::string::npos);
    }

    // A Wine prefix's drive shows by its letter; picking it shows its folder.
    void aWineDriveShowsByItsLetter()
    {
        fs::create_directories(dir / "wine-home/.wine/drive_c");
        fs::create_directories(dir / "wine-home/.wine/dosdevices");
        fs::create_symlink("../drive_c", dir / "wine-home/.wine/dosdevices/c:");
        ScopedEnv env;
        env.Set("HOME", dir / "wine-home");
        env.Unset("WINEPREFIX");
        ScriptedSink sink;
        auto s = StartWindow(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\n"));
        frmMain& w = *s->window;
        QCOMPARE(w.drvMain->itemText(0), QStringLiteral("/"));
        QCOMPARE(w.drvMain->itemText(1), QStringLiteral("c: (wine)"));
        w.drvMain->setCurrentIndex(1);
        QCOMPARE(s->form().DirPath(), fs::canonical(dir / "wine-home/.wine/drive_c").string());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
