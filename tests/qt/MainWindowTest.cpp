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
#include <QMenu>
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

    // The volume menu has a keyboard route: the Menu key and Shift+F10 on
    // the volume list open it as a right click does, only with a volume
    // selected.
    void theMenuKeyAndShiftF10OpenTheVolumeMenu()
    {
        MakeVolume(dir / "keys/A.vol", {"a.cs"});
        MakeVolume(dir / "keys/B.vol", {"b.cs"});
        struct Press {
            const char* name;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            bool opens;
        };
        const Press presses[] = {
            {"Menu", Qt::Key_Menu, Qt::NoModifier, true},
            {"Shift+F10", Qt::Key_F10, Qt::ShiftModifier, true},
            {"F10 alone", Qt::Key_F10, Qt::NoModifier, false},
            {"Ctrl+F10", Qt::Key_F10, Qt::ControlModifier, false},
        };
        for (const Press& p : presses) {
            for (const bool selected : {false, true}) {
                ScriptedSink sink;
                auto s = StartWindow(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") +
                                                          "\nStart=" + dir / "keys" + "\n"));
                frmMain& w = *s->window;
                QCOMPARE(w.filVolumes->count(), 2);
                if (selected)
                    emit w.filVolumes->itemClicked(w.filVolumes->item(1));
                QTest::keyClick(w.filVolumes, p.key, p.modifiers);
                // At the volume, wherever the pointer is.
                const std::vector<MenuPlace> expected =
                    p.opens && selected ? std::vector<MenuPlace>{MenuPlace::SelectedEntry} : std::vector<MenuPlace>{};
                QVERIFY2(s->toolkit.menuPlaces == expected,
                         (std::string(p.name) + (selected ? ", a volume selected" : ", none selected")).c_str());
                // The key changes no selection: the menu is about the volume chosen.
                QCOMPARE(s->form().SelectedVolumeName(), std::string(selected ? "B.vol" : ""));
            }
        }
    }

    // With the program's own toolkit the menu appears at the selected
    // volume, not wherever the pointer happens to be.
    void theMenuFromTheKeyboardAppearsAtTheSelectedVolume()
    {
        for (int i = 0; i < 30; ++i)
            MakeVolume(dir / ("many/V" + std::to_string(10 + i) + ".vol"), {"x.cs"});
        ScriptedSink sink;
        frmMain w(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\nStart=" +
                                       dir / "many" + "\n"));
        QVERIFY(w.Form_Load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCursor::setPos(w.mapToGlobal(QPoint(2, 2)));
        // A volume far down the list, scrolled out of sight.
        emit w.filVolumes->itemClicked(w.filVolumes->item(25));
        QTest::keyClick(w.filVolumes, Qt::Key_Menu);
        QTRY_VERIFY(w.mnuVolume->isVisible());
        const QRect row = w.filVolumes->visualItemRect(w.filVolumes->item(25));
        QVERIFY(w.filVolumes->viewport()->rect().contains(row));
        const QRect shown(w.filVolumes->viewport()->mapToGlobal(row.topLeft()), row.size());
        const QPoint at = w.mnuVolume->pos();
        QVERIFY2(at.x() >= shown.left() && at.x() <= shown.right() && at.y() >= shown.top() &&
                     at.y() <= shown.bottom() + 1,
                 qPrintable(QStringLiteral("menu at %1,%2").arg(at.x()).arg(at.y())));
        w.mnuVolume->close();
        w.close();
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
