// The Qt windows over their forms, on real files: built from their tables,
// names shown as text, never markup, wired both ways (the user's acts reach
// the form, the form's values are shown); the toolkit; the program's start.
#include "os/Instance.h"
#include "qt/DirListBox.h"
#include "qt/FileListBox.h"
#include "qt/LayoutWidgets.h"
#include "qt/NameDrag.h"
#include "qt/NameListBox.h"
#include "qt/QtMessageSink.h"
#include "qt/QtToolkit.h"
#include "qt/WindowFont.h"
#include "qt/frmAbout.h"
#include "qt/frmDetails.h"
#include "qt/frmMain.h"
#include "qt/frmProgress.h"
#include "qt/frmSplash.h"
#include "services/CommonRoutines.h"
#include "support/ChildProcess.h"
#include "support/FormSupport.h"
#include "QtSupport.h"
#include "support/RunTool.h"
#include "support/ScopedEnv.h"

#include <QtTest>
#include <QtWidgets>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;
namespace fs = std::filesystem;

namespace {

// A started window; its dialogs go to `toolkit`, which records them.
struct Started {
    explicit Started(const StartupOptions& o) : window(std::make_unique<frmMain>(o, &toolkit)), loaded(window->Form_Load()) {}
    FakeToolkit toolkit;
    std::unique_ptr<frmMain> window;
    bool loaded;
    MainForm& form() { return window->Form(); }
};

// No splash, the build's extractor, and any further settings lines.
StartupOptions WindowOptions(const TempDir& dir, const std::string& more = "")
{
    return TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\n" + more);
}

const std::string kMarkup = "<h1><font color=green>All 250 files were extracted.</font></h1>";

// A control's caption as its widget shows it; null for kinds without one.
QString Caption(const QWidget* w)
{
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text().isNull() ? QStringLiteral("") : l->text();
    const auto* b = qobject_cast<const QAbstractButton*>(w);
    const auto* g = qobject_cast<const QGroupBox*>(w);
    return b ? b->text() : g ? g->title() : QString();
}

// QLabel's own rule: automatic format turns markup-looking text into rich text.
bool ShownAsPlainText(const QLabel* l)
{
    return l->textFormat() == Qt::PlainText || (l->textFormat() == Qt::AutoText && !Qt::mightBeRichText(l->text()));
}

QUrl Url(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT
private:
    TempDir dir;
    std::string out = dir / "out", drop = dir / "dropped here";

    // A window listing a.cs, b\c.cs, d.cs (sorted) with those rows selected,
    // its "Extraction Path:" `out`.
    std::unique_ptr<Started> Open(const std::vector<int>& selected)
    {
        fs::remove_all(drop);
        MakeFolder(drop);
        auto s = std::make_unique<Started>(ListingOptions(dir, out, {"d.cs", "a.cs", "b\\c.cs"}));
        for (int row : selected)
            s->form().lstData.SetSelected(std::size_t(row), true);
        return s;
    }
    static bool Idle(Started& s) { return !s.form().lstData.HasSelection() && s.toolkit.waits == 0; }
    bool NothingExtracted() const { return FilesBelow(out).empty() && FilesBelow(drop).empty(); }

private slots:
    // First, to fork before Qt starts threads of its own: 32 Mi one-letter names
    // listed in a child of bounded memory, whole or refused with one message.
    void largestNameBlockIsListedWithinTheLimitOrRefusedWithAMessage()
    {
        constexpr qint64 kBlock = 64 << 20;
        WriteLetterNamesVolume(dir / "vols/letters.vol", kBlock);
        const StartupOptions o = WindowOptions(dir, "Start=" + dir / "vols" + "\n");
        for (const auto& [growth, listed] : {std::pair{qint64(2) << 30, true}, std::pair{qint64(200) << 20, false}}) {
            const auto listIt = [&, listed = listed]() -> int {
                ScriptedSink sink;
                Started s(o);
                if (!s.loaded)
                    return 2;
                s.window->show();
                s.form().filVolumes.Select(0);
                s.form().filVolumes_Click();
                s.window->lstData->viewport()->repaint();
                QApplication::processEvents();
                const QAbstractItemModel* m = s.window->lstData->model();
                const int rows = m->rowCount();
                if (!listed)
                    return rows == 0 && sink.shown.size() == 1 ? 0 : 3;
                // Whole and sorted: the 'a's first, the 'z's last.
                const bool sorted = m->index(0, 0).data() == "a" && m->index(rows - 1, 0).data() == "z";
                return rows == kBlock / 2 && sink.shown.empty() && sorted ? 0 : 4;
            };
            QVERIFY2(RunInChild(listIt, ChildLimits{-1, false, growth}) == 0, listed ? "listed" : "refused");
        }
    }

    // Every control shows its table's caption, and a label its alignment
    // (places, sizes and enabled state are held against the design in
    // DesignTest); names from volumes reach two labels, and no label
    // anywhere is left to Qt's automatic rule, even one whose caption holds
    // no markup today.
    void everyControlShowsItsCaptionAndNoLabelReadsMarkup()
    {
        ScriptedSink sink;
        Started main(WindowOptions(dir));
        QtToolkit toolkit(nullptr);
        AboutForm about;
        SplashForm splash;
        DetailsForm details(toolkit);
        ProgressForm progress([] { return ExtractionRequest{}; }, toolkit);
        progress.timProcess.Enabled = false;
        frmAbout a(about, nullptr);
        frmSplash s(splash, nullptr);
        frmDetails d(details, nullptr);
        frmProgress p(progress, nullptr);
        const std::pair<const QWidget*, const WindowLayout*> windows[] = {
            {main.window.get(), &MainForm::Layout()}, {&a, &AboutForm::Layout()}, {&s, &SplashForm::Layout()},
            {&d, &DetailsForm::Layout()}, {&p, &ProgressForm::Layout()}};
        for (const auto& [window, layout] : windows) {
            for (const ControlPlace& c : layout->controls) {
                const QByteArray where = QByteArray(layout->caption) + " " + c.name;
                const QWidget* w = window->findChild<QWidget*>(LayoutWidgets::ObjectName(c.name));
                QVERIFY2(w, where);
                if (const QString caption = Caption(w); !caption.isNull())
                    QVERIFY2(caption == QString::fromUtf8(c.caption), where + ": " + caption.toUtf8());
                const Qt::Alignment across = c.align == TextAlign::Right    ? Qt::AlignRight
                                             : c.align == TextAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft;
                QVERIFY2(c.kind != ControlKind::Label ||
                             (static_cast<const QLabel*>(w)->alignment() & Qt::AlignHorizontal_Mask) == across, where);
            }
        }
        progress.objExtract_E_Percent(50, kMarkup);
        details.Fill(kMarkup, 1, 0, 1, 0, 0, 0);
        for (const QLabel* label : {p.labFile, d.labName})
            QVERIFY(label->text() == QString::fromStdString(kMarkup) && ShownAsPlainText(label));
        for (const auto& [window, layout] : windows)
            for (const QLabel* l : window->findChildren<QLabel*>())
                QVERIFY2(l->text().isEmpty() || l->textFormat() == Qt::PlainText, qPrintable(l->text()));
    }

    // Each small window draws its form and closes when it unloads (the
    // splash, closing itself, is DesignTest's).
    void theToolkitsWindowsHourglassAndFileDialog()
    {
        QtToolkit toolkit(nullptr);
        AboutForm about;
        WhenShown([&](QWidget& w) {
            // Loaded, and its version shown.
            QVERIFY(about.labVersion != "..." && w.findChild<QLabel*>("labVersion")->text() == about.labVersion.c_str());
            QTest::keyClick(&w, Qt::Key_Return); // the default button
        });
        toolkit.ShowAbout(about);
        DetailsForm details(toolkit);
        WhenShown([&](QWidget& w) {
            QTest::keyClick(&w, Qt::Key_Escape); // does nothing
            QVERIFY(w.isVisible());
            w.findChild<QPushButton*>("cmdOK")->click();
        });
        toolkit.ShowDetails(details);
        ProgressForm progress([] { return ExtractionRequest{}; }, toolkit);
        progress.timProcess.Enabled = false;
        WhenShown([&](QWidget& w) {
            auto& p = static_cast<frmProgress&>(w);
            QVERIFY(!p.close()); // refused: the form has not unloaded
            progress.objExtract_E_Percent(45, "scripts\\caf\xE9.cs");
            QCOMPARE(p.labFile->text() + " " + p.labProgress->text(), QString::fromUtf8("scripts\\caf\u00E9.cs 45%"));
            QCOMPARE(p.pbrProgress->value(), 45);
            progress.Unload();
        });
        toolkit.ShowProgress(progress);
        QVERIFY(progress.Unloaded());
        // The hourglass nests and leaves someone else's pointer alone.
        QApplication::setOverrideCursor(Qt::IBeamCursor);
        {
            QtToolkit nested(nullptr);
            const WaitPointer outer(nested);
            nested.SetWaitPointer(true);
            nested.SetWaitPointer(false);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            nested.SetWaitPointer(false);
            nested.SetWaitPointer(false); // one too many: not someone else's to take
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
            nested.SetWaitPointer(true); // left up: comes down with the toolkit
        }
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
        QApplication::restoreOverrideCursor();
        // The file dialog offers the request's filters; the long time has no zone.
        QStringList filters;
        WhenShown([&](QWidget& w) {
            filters = static_cast<QFileDialog&>(w).nameFilters();
            static_cast<QFileDialog&>(w).reject();
        });
        const OpenFileRequest request{"Locate Extract",
                                      {{"Executable Files (*.exe)", "*.exe"}, {"Extractor", "extract;extract.exe"}},
                                      "exe", ".", "extract.exe"};
        QCOMPARE(toolkit.PickFile(request), std::optional<std::string>());
        QCOMPARE(filters, (QStringList{"Executable Files (*.exe)", "Extractor (extract extract.exe)"}));
        for (const char* name : {"en_US", "de_DE", "ja_JP", "fr_CA"}) {
            const QString f = QtToolkit::LongTimeFormat(QLocale(QString::fromLatin1(name)));
            QVERIFY2(!f.contains(QLatin1Char('t')) && f.contains(QStringLiteral("ss")), qPrintable(f));
        }
    }

    // The Qt message route: a box shows markup as text; its beep is the
    // desktop's bell, only the console route writes BEL to stderr.
    void theMessageRouteShowsMarkupAsTextAndBeepsOnTheDesktop()
    {
        const std::string text = kMarkup + " is not a valid volume (*.vol) file.";
        QString shown;
        WhenShown([&](QWidget& box) {
            const QLabel* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            shown = label && ShownAsPlainText(label) ? label->text() : QString();
            static_cast<QMessageBox&>(box).accept();
        });
        QtMessageSink window;
        window.Show({text, MsgButtons::OK, MsgIcon::Critical, kProgramTitle});
        QCOMPARE(shown, QString::fromStdString(text));
        for (MessageSink* sink : {static_cast<MessageSink*>(&window), static_cast<MessageSink*>(nullptr)}) {
            std::fflush(stderr);
            const int file = ::open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), saved = ::dup(2);
            ::dup2(file, 2);
            ::close(file);
            SetMessageSink(sink);
            Messages().Beep();
            SetMessageSink(nullptr);
            std::fflush(stderr);
            ::dup2(saved, 2);
            ::close(saved);
            QCOMPARE(ReadFile(dir / "stderr"), std::string(sink ? "" : "\a"));
        }
    }

    void whatTheUserDoesReachesTheFormAndTheFormIsShown()
    {
        MakeVolume(dir / "v/Base.vol", {"b.cs", "a.cs", "c.cs"});
        MakeVolume(dir / "v/Other.vol", {"x.cs"});
        WriteFile(dir / "v/sub/keep", "");
        // A Wine prefix's drive, to be picked by its letter.
        MakeWinePrefix(dir / "wine-home/.wine");
        ScopedEnv env;
        env.Set("HOME", dir / "wine-home");
        env.Unset("WINEPREFIX");
        ScriptedSink sink;
        const StartupOptions o = WindowOptions(dir, "Start=" + dir / "v" + "\nOverwrite=2\n");
        Started s(o);
        frmMain& w = *s.window;
        MainForm& f = s.form();
        // Loaded values are shown, a grey box as grey.
        QVERIFY(w.txtExtractPath->text().toStdString() == ToolPath("extract") &&
                w.chkOverwrite->checkState() == Qt::PartiallyChecked && w.filVolumes->count() == 2);
        // A click on a volume lists it; the list's buttons select through the form.
        emit w.filVolumes->itemClicked(w.filVolumes->item(0));
        QVERIFY(f.SelectedVolumeName() == "Base.vol" && w.lstData->count() == 3 && w.lstData->Text(0) == "a.cs");
        w.cmdSelAll->click();
        QCOMPARE(w.lstData->selectionModel()->selectedRows().size(), 3);
        w.lstData->selectionModel()->select(w.lstData->model()->index(1, 0), QItemSelectionModel::Toggle);
        QCOMPARE(f.lstData.SelectedNames(), (std::vector<std::string>{"a.cs", "c.cs"}));
        w.cmdDelAll->click();
        QVERIFY(!f.lstData.HasSelection() && !w.lstData->selectionModel()->hasSelection());
        // The Menu key and Shift+F10 ask for the volume menu, no other F10; no key changes the selection.
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, bool> presses[] = {{Qt::Key_Menu, Qt::NoModifier, true},
            {Qt::Key_F10, Qt::ShiftModifier, true}, {Qt::Key_F10, Qt::NoModifier, false},
            {Qt::Key_F10, Qt::ControlModifier, false}};
        for (const auto& [key, modifiers, opens] : presses) {
            s.toolkit.menuPlaces.clear();
            QTest::keyClick(w.filVolumes, key, modifiers);
            QVERIFY(s.toolkit.menuPlaces.size() == (opens ? 1u : 0u) && f.SelectedVolumeName() == "Base.vol");
            QVERIFY(!opens || s.toolkit.menuPlaces[0] == MenuPlace::SelectedEntry);
        }
        // Typing, ticking and the tabs.
        w.txtPath->clear();
        QTest::keyClicks(w.txtPath, "/typed/here");
        w.chkSplash->click(); // it was off
        QVERIFY(f.txtPath == "/typed/here" && f.chkSplash == CheckState::Checked);
        w.tbsMain->setCurrentIndex(1);
        QVERIFY(f.tbsMain == 1 && w.picBase[1]->isVisibleTo(&w) && !w.picBase[0]->isVisibleTo(&w));
        // The folder list opens folders; the pickers and the About window go to the toolkit.
        emit w.dirMain->itemDoubleClicked(w.dirMain->item(w.dirMain->count() - 1));
        QCOMPARE(f.DirPath(), GetLongFileName(dir / "v/sub"));
        QVERIFY(w.filVolumes->count() == 0 && w.dirMain->currentRow() == f.dirMain.CurrentRow());
        s.toolkit.folders = {"/picked"};
        w.cmdBrowse->click();
        QCOMPARE(w.txtPath->text(), QStringLiteral("/picked"));
        w.cmdAbout->click();
        QVERIFY(s.toolkit.folderTitles.size() == 1 && s.toolkit.shown == std::vector<std::string>{"about"});
        // The drive box shows the Wine drive by its letter; picking it opens its folder.
        QVERIFY(w.drvMain->itemText(0) == "/" && w.drvMain->itemText(1) == "c: (wine)");
        w.drvMain->setCurrentIndex(1);
        QCOMPARE(f.DirPath(), fs::canonical(dir / "wine-home/.wine/drive_c").string());
        // Only a drop's first local file is taken: it opens as a volume named on the command line.
        const auto dropped = [&w](const QList<QUrl>& urls) {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(w.rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &enter);
            QDropEvent drop(QPointF(w.rect().center()), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            if (enter.isAccepted())
                QApplication::sendEvent(&w, &drop);
            return enter.isAccepted();
        };
        QVERIFY(!dropped({QUrl(QStringLiteral("https://example.org/Base.vol"))}) && !dropped({}));
        QVERIFY(dropped({Url(dir / "v/Other.vol"), Url(dir / "v/Base.vol")}));
        QVERIFY(f.SelectedVolumeName() == "Other.vol" && w.filVolumes->currentItem()->text() == "Other.vol");
        QVERIFY(w.tbsMain->currentIndex() == 0 && w.picBase[0]->isVisibleTo(&w) && w.lstData->count() == 1);
        // Closing saves what the window showed.
        w.close();
        QVERIFY(ReadFile(o.settingsPath).find("Path=/picked") != std::string::npos && sink.texts.empty());
    }

    // With the program's own toolkit the menu appears at the selected
    // volume, not wherever the pointer happens to be.
    void theMenuFromTheKeyboardAppearsAtTheSelectedVolume()
    {
        for (int i = 0; i < 30; ++i)
            MakeVolume(dir / ("many/V" + std::to_string(10 + i) + ".vol"), {"x.cs"});
        ScriptedSink sink;
        frmMain w(WindowOptions(dir, "Start=" + dir / "many" + "\n"));
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
        QVERIFY2(shown.adjusted(0, 0, 0, 1).contains(at), qPrintable(QStringLiteral("menu at %1,%2").arg(at.x()).arg(at.y())));
        w.mnuVolume->close();
        w.close();
    }

    // Names dragged out: a direct-save name and a file list are offered, and
    // nothing is extracted until a target answers, with a folder or without.
    void draggedNamesReachTheTargetThroughTheJobWithTheButtonsOptions()
    {
        QVERIFY(!MakeNameDragData(*Open({})->window)); // nothing selected, nothing to drag
        for (const bool recreate : {true, false}) {
            const std::string c = recreate ? "b/c.cs" : "c.cs";
            // A direct-save target writes the offered name into the folder of the drop.
            auto s = Open({0, 1});
            frmMain& w = *s->window;
            s->form().chkFileSystem = recreate ? CheckState::Checked : CheckState::Unchecked;
            s->form().chkOverwrite = CheckState::Unchecked;
            WriteFile(drop + "/a.cs", "mine");
            std::unique_ptr<NameDragData> data = MakeNameDragData(w);
            QCOMPARE(data->formats(), (QStringList{"XdndDirectSave0", "text/uri-list"}));
            QCOMPARE(data->SuggestedName(), std::string("Base.vol")); // several names: the volume's
            data->ReadDirectSaveAnswer = [&] { return Url(drop + "/" + data->SuggestedName()).toEncoded(); };
            ScriptedSink sink;
            sink.answers = {MsgAnswer::No}; // keep the user's a.cs
            QVERIFY(data->data("XdndDirectSave0") == "S" && data->DropFolder() == drop);
            QCOMPARE(FilesBelow(drop), std::vector<std::string>{"a.cs"}); // the target still waits for its answer
            // Then the main window's event loop runs the job.
            QTRY_COMPARE(sink.texts, std::vector<std::string>{drop + "/a.cs already exists.  Overwrite?"});
            QVERIFY(data->data("XdndDirectSave0") == "S"); // asked again: no second job
            QCoreApplication::processEvents();
            QCOMPARE(sink.texts.size(), std::size_t(1));
            QVERIFY(ReadFile(drop + "/a.cs") == "mine" && ReadFile(drop + "/" + c) == "data of b\\c.cs");
            QCOMPARE(FilesBelow(drop), (std::vector<std::string>{"a.cs", c}));
            QVERIFY(FilesBelow(out).empty()); // the "Extraction Path:" is left alone
            QVERIFY(w.txtPath->text().toStdString() == out && Idle(*s) && !data->StagingFolder());
            // Any other target asks for the list: the job fills a private folder, once.
            data.reset();
            s = Open({1, 2});
            s->form().chkFileSystem = recreate ? CheckState::Checked : CheckState::Unchecked;
            data = MakeNameDragData(*s->window);
            const QList<QUrl> urls = data->urls();
            const std::string staged = data->StagingFolder().value_or("");
            QVERIFY(!staged.empty() && staged.find(dir.Path()) != 0 && staged != out);
            const QList<QUrl> expected{Url(staged + (recreate ? "/b" : "/c.cs")), Url(staged + "/d.cs")};
            QCOMPARE(urls, expected);
            QVERIFY(ReadFile(staged + "/" + c) == "data of b\\c.cs" && ReadFile(staged + "/d.cs") == "data of d.cs");
            QVERIFY(Idle(*s));
            fs::remove(staged + "/d.cs");
            QCOMPARE(data->urls(), expected); // asked again (targets do): the same list, no second run
            QVERIFY(!Exists(staged + "/d.cs"));
            QCoreApplication::processEvents();
            QVERIFY(NothingExtracted() && sink.texts.size() == 1);
            s->window.reset(); // the private folder goes with the window
            QVERIFY(!Exists(staged));
        }
        for (const QByteArray& answer : {QByteArray(), QByteArray("https://example.org/x.cs"), QByteArray("nonsense")}) {
            auto s = Open({1});
            std::unique_ptr<NameDragData> data = MakeNameDragData(*s->window);
            QCOMPARE(data->SuggestedName(), std::string("c.cs")); // one name: its own, without its folder
            data->ReadDirectSaveAnswer = [&] { return answer; };
            ScriptedSink sink;
            QCOMPARE(data->data("XdndDirectSave0"), QByteArray("E"));
            QCoreApplication::processEvents();
            QVERIFY2(!data->DropFolder() && !data->StagingFolder() && NothingExtracted(), answer.constData());
            QVERIFY(s->form().lstData.HasSelection() && sink.texts.empty());
        }
    }

    // --help and --version answer beside a running copy, with no window system
    // (ssh, a package's build); no display is one line, not an abort; plugins
    // come from Qt's folder, never the program's, where extractions go by default.
    void theProgramAnswersOrRefusesBeforeAnyWindow()
    {
        const rlimit noCore{0, 0}; // a faulty run aborts for want of a platform
        setrlimit(RLIMIT_CORE, &noCore);
        const std::string version = "tarnwick " + ProjectVersion() + "\n", usage = "Usage: tarnwick [VOLUME]\n";
        struct Case {
            const char* name;
            std::vector<std::string> args;
            std::optional<std::string> platform; // QT_QPA_PLATFORM; none: no window system at all
            std::string plugin, qtConf;          // planted below the program's folder
            int exitCode; // 42: the plugin was loaded, from the folder QT_QPA_PLATFORM_PLUGIN_PATH names
            std::string outStartsWith, outHolds, err;
        };
        const std::string noDisplay =
            "tarnwick: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n";
        const Case cases[] = {
            {"--version", {"--version"}, "no-such-platform", "", "", 0, version, "", ""},
            {"-V", {"-V"}, "no-such-platform", "", "", 0, version, "", ""},
            {"-h", {"-h"}, "no-such-platform", "", "", 0, usage, "-V, --version", ""},
            // The first argument decides; the rest is not a path then.
            {"--help x.vol", {"--help", "x.vol"}, "no-such-platform", "", "", 0, usage, "./--help", ""},
            {"no display", {"base.vol"}, std::nullopt, "", "", 1, "", "", noDisplay},
            // Qt finds no such platform and aborts.
            {"platforms folder beside the program", {}, "planted", "platforms/libplanted.so", "", -1, "", "", ""},
            {"qt.conf moving the plugin folder", {}, "planted", "evil/platforms/libplanted.so",
             "[Paths]\nPrefix=.\nPlugins=evil\n", -1, "", "", ""},
            // The stand-in is a working plugin when the user points Qt at it.
            {"plugin folder the user names", {}, "planted", "mine/libplanted.so", "", 42, "", "", ""},
            // Qt's own switches are a path like any other argument: a shell
            // or a link can pass them, so they name no plugin folder and no
            // platform ("@" stands for the case's folder).
            {"-platformpluginpath", {"-platformpluginpath", "@/mine"}, "planted", "mine/libplanted.so", "", -1, "", "",
             ""},
            {"-platform", {"-platform", "no-such-platform"}, "planted", "mine/libplanted.so", "", 42, "", "", ""},
        };
        for (const Case& c : cases) {
            TempDir place;
            const std::string program = place / "tarnwick", mark = place / "loaded";
            const bool named = c.exitCode == 42;
            fs::copy_file(ToolPath("tarnwick"), program);
            if (!c.plugin.empty()) {
                fs::create_directories(fs::path(place / c.plugin).parent_path());
                fs::copy_file(TARNWICK_PLANTED_PLUGIN, place / c.plugin);
            }
            if (!c.qtConf.empty())
                WriteFile(place / "qt.conf", c.qtConf);
            ScopedEnv env;
            env.Set("HOME", place / "home");
            env.Set("XDG_RUNTIME_DIR", place.Path());
            env.Set("TARNWICK_PLANTED_MARK", mark);
            for (const char* name :
                 {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "QT_PLUGIN_PATH", "QT_QPA_PLATFORM_PLUGIN_PATH"})
                env.Unset(name);
            if (c.platform)
                env.Set("QT_QPA_PLATFORM", *c.platform);
            if (named)
                env.Set("QT_QPA_PLATFORM_PLUGIN_PATH", place / "mine");
            os::InstanceLock running("tarnwick"); // another copy runs
            QVERIFY2(running.Acquired(), c.name);
            std::vector<std::string> args = c.args;
            for (std::string& a : args)
                if (a.rfind("@/", 0) == 0)
                    a = place.Path() + a.substr(1);
            const ToolRun run = RunTool(program, args);
            const QByteArray what = QByteArray(c.name) + ": " + QByteArray::fromStdString(run.out + run.err);
            QVERIFY2(run.exitCode == c.exitCode && run.out.rfind(c.outStartsWith, 0) == 0, what);
            QVERIFY2(run.out.find(c.outHolds) != std::string::npos && (!c.plugin.empty() || run.err == c.err), what);
            QVERIFY2(Exists(mark) == named, what);
        }
    }
};

QTEST_MAIN(WindowsTest)
#include "WindowsTest.moc"
