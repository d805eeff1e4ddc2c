// Extracting selected names through the progress window with the real extractor.
#include "GuiSupport.h"
#include "extraction/ExtractCommands_ui.h"
#include "extraction/frmProgress.h"
#include "mainwindow/NameListBox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
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
    // What every extraction leaves, whatever happened in it.
    static bool Idle(const frmMain& w)
    {
        return !w.lstData->HasSelection() && QApplication::overrideCursor() == nullptr;
    }

private slots:
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
