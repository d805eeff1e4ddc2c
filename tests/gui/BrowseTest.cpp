// Browsing and listing volumes, the Properties window, and the splash and
// About windows.
#include "GuiSupport.h"
#include "mainwindow/Artwork_ui.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmSplash.h"
#include "platform/CommonRoutines.h"
#include "volume/PropertiesCommand_ui.h"
#include "volume/clsVOLReader.h"
#include "volume/frmDetails.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

class BrowseTest : public QObject {
    Q_OBJECT
private:
    struct Setup {
        TempDir dir;
        std::unique_ptr<frmMain> window;
        ScriptedSink sink;
    };
    std::unique_ptr<Setup> Open()
    {
        auto s = std::make_unique<Setup>();
        MakeVolume(s->dir / "vols/First.vol", {"zeta.cs", "Alpha.cs", "beta\\gamma.cs", "", "mid.cs"});
        MakeVolume(s->dir / "vols/Second.VOL", {"only.cs"});
        WriteFile(s->dir / "vols/Broken.vol", "PVOX not a volume");
        WriteFile(s->dir / "vols/notes.txt", "");
        WriteFile(s->dir / "vols/sub/inner.vol", "");
        StartupOptions o = TestOptions(s->dir, SettingsWithExtractor("Start=" + s->dir / "vols" + "\n"));
        s->window = std::make_unique<frmMain>(o);
        if (!s->window->Form_Load())
            return nullptr;
        return s;
    }
    static QStringList Names(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static int Row(const QListWidget* list, const char* text)
    {
        const auto found = list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
        return found.isEmpty() ? -1 : list->row(found.front());
    }

private slots:
    void fileListShowsVolumesOfAnyCaseSorted()
    {
        auto s = Open();
        QVERIFY(s);
        QCOMPARE(Names(s->window->filVolumes), (QStringList{"Broken.vol", "First.vol", "Second.VOL"}));
    }

    void listingSortsNamesAndSkipsEmptyOnes()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        w.filVolumes->SelectRow(Row(w.filVolumes, "First.vol"));
        QCOMPARE(Names(w.lstData), (QStringList{"Alpha.cs", "beta\\gamma.cs", "mid.cs", "zeta.cs"}));
        QCOMPARE(w.CurrentVolume, GetLongFileName(s->dir / "vols") + "/First.vol");
        QCOMPARE(w.VOL().FileCount(), 5);
        // An invalid volume lists nothing, silently, and is remembered.
        w.filVolumes->SelectRow(Row(w.filVolumes, "Broken.vol"));
        QCOMPARE(w.lstData->count(), 0);
        QCOMPARE(s->sink.shown.size(), std::size_t(0));
        QVERIFY(w.CurrentVolume.find("Broken.vol") != std::string::npos);
    }

    void theListedVolumeIsNotReadAgain()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        w.filVolumes->SelectRow(Row(w.filVolumes, "First.vol"));
        w.lstData->item(0)->setSelected(true);
        // Changed on disk: a second click on the same entry must not notice.
        MakeVolume(s->dir / "vols/First.vol", {"changed.cs"});
        w.filVolumes->SelectRow(Row(w.filVolumes, "First.vol"));
        QCOMPARE(w.lstData->count(), 4);
        QVERIFY(w.lstData->item(0)->isSelected());
        // After another volume, the first is read anew.
        w.filVolumes->SelectRow(Row(w.filVolumes, "Second.VOL"));
        QCOMPARE(Names(w.lstData), QStringList{"only.cs"});
        w.filVolumes->SelectRow(Row(w.filVolumes, "First.vol"));
        QCOMPARE(Names(w.lstData), QStringList{"changed.cs"});
    }

    void changingFolderOrDriveKeepsTheContents()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        w.filVolumes->SelectRow(Row(w.filVolumes, "Second.VOL"));
        const std::string listed = w.CurrentVolume;
        w.dirMain->SetPath(s->dir / "vols/sub");
        QCOMPARE(Names(w.filVolumes), QStringList{"inner.vol"});
        QCOMPARE(Names(w.lstData), QStringList{"only.cs"});
        w.drvMain->setCurrentIndex(0);
        emit w.drvMain->currentIndexChanged(0);
        QCOMPARE(Names(w.lstData), QStringList{"only.cs"});
        QCOMPARE(w.CurrentVolume, listed);
    }

    void folderListShowsTheChainAndOpensSubfolders()
    {
        auto s = Open();
        QVERIFY(s);
        DirListBox& d = *s->window->dirMain;
        QCOMPARE(d.EntryPath(0), std::string("/"));
        const std::string vols = GetLongFileName(s->dir / "vols");
        QCOMPARE(d.EntryPath(d.currentRow()), vols);
        QCOMPARE(d.EntryPath(d.count() - 1), vols + "/sub");
        emit d.itemDoubleClicked(d.item(d.count() - 1));
        QCOMPARE(d.Path(), vols + "/sub");
        QCOMPARE(s->window->filVolumes->Path(), vols + "/sub");
    }

    void aVolumeAtTheRootIsOpenedWithOneSeparator()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        w.dirMain->SetPath("/");
        // Whatever the root holds, a listing there must not double the "/".
        w.filVolumes->addItem(QStringLiteral("Root.vol"));
        w.filVolumes->SelectRow(w.filVolumes->count() - 1);
        QCOMPARE(w.VOL().Path(), std::string("/Root.vol"));
    }

    void tabsBringTheirPagesToTheFront()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        w.show();
        w.tbsMain->setCurrentIndex(1);
        QVERIFY(w.picBase[1]->isVisible());
        QVERIFY(!w.picBase[0]->isVisible());
        w.tbsMain->setCurrentIndex(0);
        QVERIFY(w.picBase[0]->isVisible());
        QVERIFY(!w.picBase[1]->isVisible());
    }

    void folderPickersFillTheirBoxesAndCancelKeepsThem()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        std::vector<std::string> titles;
        std::string answer = "/Games/Tribes";
        w.PickFolder = [&](const std::string& title) {
            titles.push_back(title);
            return answer;
        };
        w.cmdBrowse_Click();
        w.cmdDefSearchBrowse_Click();
        // Case matters on this file system: the path stays as chosen.
        QCOMPARE(w.txtPath->text(), QStringLiteral("/Games/Tribes"));
        QCOMPARE(w.txtDefSearchPath->text(), QStringLiteral("/Games/Tribes"));
        answer.clear();
        w.cmdBrowse_Click();
        QCOMPARE(w.txtPath->text(), QStringLiteral("/Games/Tribes"));
        QCOMPARE(titles, (std::vector<std::string>{"Select Destination Path", "Select Default Volume Path",
                                                    "Select Destination Path"}));
        QCOMPARE(ShownPath("D:\\Games\\Tribes", PathStyle::Windows), std::string("d:\\games\\tribes"));
    }

    void rightClickMenuNeedsASelectedVolume()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        w.show();
        w.filVolumes->clearSelection();
        w.filVolumes_MouseDown(Qt::RightButton, QPoint(10, 10));
        QVERIFY(!w.mnuVolume->isVisible());
        w.filVolumes->SelectRow(0);
        w.filVolumes_MouseDown(Qt::LeftButton, QPoint(10, 10));
        QVERIFY(!w.mnuVolume->isVisible());
        w.filVolumes_MouseDown(Qt::RightButton, QPoint(10, 10));
        QVERIFY(w.mnuVolume->isVisible());
        w.mnuVolume->hide();
        // A right click on another entry keeps the selection.
        QTest::mouseClick(w.filVolumes->viewport(), Qt::RightButton, {},
                          w.filVolumes->visualItemRect(w.filVolumes->item(2)).center());
        QCOMPARE(w.filVolumes->currentRow(), 0);
        w.mnuVolume->hide();
    }

    void propertiesShowTheDirectoryValues()
    {
        auto s = Open();
        QVERIFY(s);
        // D = 100: the header, then two blocks of 8 + 38 bytes; S = 10.
        VolumeWriter v;
        v.Add("a.cs", std::string(38, 'a'));
        v.Add("b.cs", std::string(38, 'b'));
        WriteFile(s->dir / "vols/Hundred.vol", v.Build());
        frmMain& w = *s->window;
        w.filVolumes->Refresh();
        w.filVolumes->SelectRow(Row(w.filVolumes, "Second.VOL"));
        {
            const QSignalBlocker quiet(w.filVolumes);
            w.filVolumes->setCurrentRow(Row(w.filVolumes, "Hundred.vol"));
        }
        std::map<std::string, QString> seen;
        WhenModal([&](QWidget* win) {
            for (const char* n : {"labName", "labSize", "labFileCount", "labPVOL", "labVOLS", "labVOLI", "labDate"})
                seen[n] = win->findChild<QLabel*>(QString::fromLatin1(n))->text();
            seen["title"] = win->windowTitle();
        });
        mnuProperties_Click(w);
        QCOMPARE(seen["title"], QStringLiteral("Volume Details"));
        QCOMPARE(seen["labName"], QStringLiteral("Hundred.vol"));
        QCOMPARE(seen["labPVOL"], QStringLiteral("100"));
        QCOMPARE(seen["labVOLS"], QStringLiteral("10"));
        QCOMPARE(seen["labVOLI"], QStringLiteral("34"));
        QCOMPARE(seen["labFileCount"], QStringLiteral("2"));
        QCOMPARE(seen["labSize"], QString::number(v.Build().size()));
        QVERIFY(!seen["labDate"].isEmpty() && seen["labDate"] != QStringLiteral("..."));
        // The command listed the volume first.
        QCOMPARE(Names(w.lstData), (QStringList{"a.cs", "b.cs"}));
    }

    void propertiesRefuseANonVolume()
    {
        auto s = Open();
        QVERIFY(s);
        frmMain& w = *s->window;
        w.filVolumes->SelectRow(Row(w.filVolumes, "Second.VOL"));
        {
            const QSignalBlocker quiet(w.filVolumes);
            w.filVolumes->setCurrentRow(Row(w.filVolumes, "Broken.vol"));
        }
        mnuProperties_Click(w);
        QCOMPARE(s->sink.events, (std::vector<std::string>{"beep", "box"}));
        QCOMPARE(s->sink.shown[0].text,
                 GetLongFileName(s->dir / "vols") + "/Broken.vol is not a valid Starsiege: Tribes 1.X volume file.");
        QCOMPARE(s->sink.shown[0].icon, MsgIcon::None);
        QCOMPARE(Names(w.lstData), QStringList{"only.cs"});
    }

    void detailsDateLeavesOutMidnight()
    {
        const QLocale c(QLocale::C);
        const QDateTime midnight(QDate(2001, 2, 3), QTime(0, 0, 0));
        const QDateTime evening(QDate(2001, 2, 3), QTime(21, 4, 5));
        QCOMPARE(frmDetails::GeneralDate(midnight, c), c.toString(midnight.date(), QLocale::ShortFormat));
        QVERIFY(frmDetails::GeneralDate(evening, c).contains(QStringLiteral("21:04:05")));
    }

    void splashAndAboutShowTheVersion()
    {
        QCOMPARE(VersionText(0, 5, 0), QString::fromUtf8("\u00DF0.5.0"));
        QCOMPARE(VersionText(1, 12, 3), QString::fromUtf8("\u00DF1.12.3"));
        frmSplash splash(nullptr, 30);
        QCOMPARE(splash.labVersion->text(), QStringLiteral("..."));
        QElapsedTimer clock;
        clock.start();
        splash.exec(); // closes itself
        QVERIFY(clock.elapsed() >= 25);
        QCOMPARE(splash.labVersion->text(), ProgramVersionText());
        QCOMPARE(frmSplash::kReleaseMilliseconds, 2551);
        QCOMPARE(SplashPicture().size(), QSize(400, 200));
        for (int round = 0; round < 2; ++round) {
            frmAbout about;
            QCOMPARE(about.windowTitle(), QStringLiteral("About Tarnwick"));
            QCOMPARE(about.labVersion->text(), QString::fromUtf8("\u00DF0.5.0"));
            QCOMPARE(about.labName->text(), QStringLiteral("Tarnwick"));
            QCOMPARE(about.labCompany->text(), QStringLiteral("Cairnix Suite"));
            QVERIFY(about.labDesc->text().startsWith(QStringLiteral("     Tarnwick gives")));
        }
    }
};

QTEST_MAIN(BrowseTest)
#include "BrowseTest.moc"
