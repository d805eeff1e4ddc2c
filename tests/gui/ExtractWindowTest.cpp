// Extracting selected names through the progress window with the real
// extractor. Names as a volume stores them: bytes in Windows-1252, which may hold a
// comma or run blanks together, shown as text but handed to the job whole.
#include "GuiSupport.h"
#include "extraction/ExtractCommands_ui.h"
#include "extraction/ProgressForm.h"
#include "extraction/clsExtract.h"
#include "extraction/frmProgress.h"
#include "mainwindow/NameListBox.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QItemSelectionModel>
#include <QTimer>
#include <QtTest>

#include <filesystem>

using namespace tarnwick;
using namespace tarnwick::test;

class ExtractWindowTest : public QObject {
    Q_OBJECT
private:
    TempDir dir;
    std::string out = dir / "out";

    // A window listing Base.vol, extracting into `out`, every name selected.
    std::unique_ptr<Started> Open(const std::vector<std::string>& names)
    {
        auto s = OpenListing(dir, out, names);
        cmdSelAll_Click(*s->window);
        return s;
    }
    static bool Idle(const frmMain& w)
    {
        return !w.lstData->selectionModel()->hasSelection() && QApplication::overrideCursor() == nullptr;
    }
    // Runs Extract and returns the names the job was handed, as it had them
    // when it started its first file.
    static std::vector<std::string> NamesTheJobGets(frmMain& w)
    {
        std::vector<std::string> got;
        QTimer::singleShot(100, [&] {
            frmProgress* p = w.findChild<frmProgress*>();
            if (!p)
                return;
            // The form draws the window again when the job reports.
            ProgressForm& form = p->form();
            form.Changed = [&got, &form, old = form.Changed](const std::string& control) {
                if (got.empty() && form.objExtract())
                    got = form.objExtract()->Names();
                old(control);
            };
        });
        cmdExtract_Click(w);
        return got;
    }
    static QStringList Shown(const frmMain& w)
    {
        QStringList out;
        const QAbstractItemModel* m = w.lstData->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toString();
        return out;
    }

private slots:
    void storedBytesOfEveryNameReachTheJobWhole()
    {
        // Windows-1252 bytes, a comma, two blanks in a row.
        const std::vector<std::string> names = {"caf\xE9.cs", "missions\\Broadside, Night.mis", "two  blanks.cs"};
        auto s = Open(names);
        frmMain& w = *s->window;
        QCOMPARE(Shown(w), (QStringList{QString::fromUtf8("caf\u00E9.cs"), "missions\\Broadside, Night.mis", "two  blanks.cs"}));
        ScriptedSink sink;
        QCOMPARE(NamesTheJobGets(w), names);
        QVERIFY(Idle(w));
        // The extractor was asked for the stored name and found it.
        bool found = false;
        for (const auto& e : std::filesystem::directory_iterator(out))
            found = found || ReadFile(e.path().string()) == "data of caf\xE9.cs";
        QVERIFY(found);

        // Only the selected ones, in the list's order; a click toggles.
        cmdSelAll_Click(w);
        QItemSelectionModel* picked = w.lstData->selectionModel();
        picked->select(w.lstData->model()->index(1, 0), QItemSelectionModel::Toggle);
        QCOMPARE(NamesTheJobGets(w), (std::vector<std::string>{names[0], names[2]}));
        QVERIFY(Idle(w));
    }

    void everyKindOfNameArrivesWithItsOwnBytes()
    {
        // The volume's own name holds quotes, beside a plain file named like
        // its part before the first quote.
        const std::string folder = dir / "dl";
        WriteFile(folder + "/skins", "PVOL not this one");
        const std::string volume = folder + "/skins\" \"pack.vol";
        const std::vector<std::string> names = {"caf\xE9.cs",      "two  blanks.cs", " lead.cs",
                                                "trail.cs ",       "tab\there.cs",   "missions\\Broadside, Night.mis",
                                                "say \"hi\".cs",   "two blanks.cs",  "\x80uro\\na\xEFve.txt"};
        VolumeWriter v;
        for (const std::string& n : names)
            v.Add(n, "bytes of [" + n + "]");
        WriteFile(volume, v.Build());
        std::filesystem::remove_all(out);
        WriteFile(out + "/.keep", "");
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + out +
                                                "\nFileSystem=1\nOverwrite=1\n");
        o.commandTail = volume;
        auto s = Start(o);
        frmMain& w = *s->window;
        QCOMPARE(w.lstData->count(), int(names.size()));
        cmdSelAll_Click(w);
        ScriptedSink sink;
        cmdExtract_Click(w);
        QCOMPARE(sink.texts, std::vector<std::string>{});
        for (const std::string& n : names) {
            const std::string onDisk = out + "/" + StoredNameToPath(n, PathStyle::Posix);
            QCOMPARE(ReadFile(onDisk), "bytes of [" + n + "]");
        }
        QVERIFY(Exists(out + "/\xE2\x82\xACuro/na\xC3\xAFve.txt"));
        QVERIFY(Idle(w));
    }

    void theFirstFailureIsShownAndTheRestSummedUp()
    {
        auto s = Open({"a\\x.cs", "b\\y.cs", "c\\z.cs", "fine.cs"});
        frmMain& w = *s->window;
        w.chkFileSystem->setCheckState(Qt::Checked);
        // Files where the folders should be: none of the three can be made.
        for (const char* blocker : {"/a", "/b", "/c"})
            WriteFile(out + blocker, "a file");
        ScriptedSink sink;
        cmdExtract_Click(w);
        QCOMPARE(sink.texts, (std::vector<std::string>{
                                 "[Error: 6] Unable to create the folder " + out + "/a for a\\x.cs.",
                                 "3 of 4 files were not extracted:\na\\x.cs\nb\\y.cs\nc\\z.cs"}));
        QCOMPARE(sink.events, (std::vector<std::string>{"box", "beep", "box"}));
        QCOMPARE(ReadFile(out + "/fine.cs"), std::string("data of fine.cs"));
        QVERIFY(Idle(w));
    }

    void aVeryLongNameIsShownShortenedButHandedOverWhole()
    {
        const std::string name = "long" + std::string(100 * 1024, 'n') + ".cs";
        auto s = Open({name, "b.cs"});
        frmMain& w = *s->window;
        const QStringList shown = Shown(w);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1], QStringLiteral("long") + QString(1020, QLatin1Char('n')) + QChar(0x2026));
        ScriptedSink sink; // the extractor cannot write such a name
        QCOMPARE(NamesTheJobGets(w), (std::vector<std::string>{"b.cs", name}));
        QVERIFY(Idle(w));
    }

    void selectedNamesAreExtractedWithOrWithoutTheirFolders()
    {
        for (const bool recreate : {true, false}) {
            auto s = Open({"scripts\\ai\\bot.cs", "readme.txt", "skip.cs"});
            frmMain& w = *s->window;
            w.lstData->SetSelected(2, false); // skip.cs, last in order
            w.chkFileSystem->setCheckState(recreate ? Qt::Checked : Qt::Unchecked);
            ScriptedSink sink;
            cmdExtract_Click(w);
            QCOMPARE(sink.shown.size(), std::size_t(0));
            const std::string bot = out + (recreate ? "/scripts/ai/bot.cs" : "/bot.cs");
            QCOMPARE(ReadFile(bot), std::string("data of scripts\\ai\\bot.cs"));
            QCOMPARE(ReadFile(out + "/readme.txt"), std::string("data of readme.txt"));
            QVERIFY(!Exists(out + "/skip.cs"));
            QCOMPARE(Exists(out + "/scripts"), recreate);
            // The list is sorted, so bot.cs went last.
            QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
                     "\"" + ToolPath("extract") + "\" \"" + dir / "v/Base.vol" + "\" scripts\\ai\\bot.cs \"" + bot + "\"");
            QVERIFY(Idle(w));
        }
    }

    void existingFilesAreReplacedOnlyWhenAllowedAndProgressIsShown()
    {
        // A grey box counts as ticked.
        for (const Qt::CheckState overwrite : {Qt::Unchecked, Qt::PartiallyChecked}) {
            auto s = Open({"a.cs", "b.cs"});
            frmMain& w = *s->window;
            WriteFile(out + "/a.cs", "mine a");
            WriteFile(out + "/b.cs", "mine b");
            w.chkOverwrite->setCheckState(overwrite);
            ScriptedSink sink;
            sink.answers = {MsgAnswer::No, MsgAnswer::Yes};
            QStringList progress;
            sink.onShow = [&](const MessageRequest&) {
                const frmProgress* p = w.findChild<frmProgress*>();
                progress << (p && p->isVisible() ? p->labProgress->text() + " " + p->labFile->text() : QString());
            };
            cmdExtract_Click(w);
            const bool asked = overwrite == Qt::Unchecked;
            const std::string prompt = " already exists.  Overwrite?";
            QCOMPARE(sink.texts, (asked ? std::vector{out + "/a.cs" + prompt, out + "/b.cs" + prompt} : std::vector<std::string>{}));
            QCOMPARE(progress, (asked ? QStringList{"0% a.cs", "50% a.cs"} : QStringList{}));
            QVERIFY(!asked || sink.shown[0].buttons == MsgButtons::YesNo);
            QCOMPARE(ReadFile(out + "/a.cs"), std::string(asked ? "mine a" : "data of a.cs"));
            QCOMPARE(ReadFile(out + "/b.cs"), std::string("data of b.cs"));
            QVERIFY(Idle(w));
        }
    }
};

QTEST_MAIN(ExtractWindowTest)
#include "ExtractWindowTest.moc"
