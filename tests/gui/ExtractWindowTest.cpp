// The Extract, Select All and Deselect All buttons and the progress window,
// running the real stand-in extractor into a temporary folder.
#include "GuiSupport.h"
#include "extraction/ExtractCommands_ui.h"
#include "mainwindow/FileListBox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

class ExtractWindowTest : public QObject {
    Q_OBJECT
private:
    struct Setup {
        TempDir dir;
        std::unique_ptr<frmMain> window;
    };
    // A window showing a listed volume, destination `out` (made unless told).
    std::unique_ptr<Setup> Open(const std::vector<std::string>& names, bool makeOut = true,
                                const std::string& extractor = {})
    {
        auto s = std::make_unique<Setup>();
        MakeVolume(s->dir / "v/Base.vol", names);
        if (makeOut)
            WriteFile(s->dir / "out/.keep", "");
        StartupOptions o = TestOptions(s->dir, "[Tarnwick]\nSplash=0\nExtract=" +
                                                   (extractor.empty() ? ToolPath("extract") : extractor) +
                                                   "\nPath=" + s->dir / "out" + "\n");
        o.commandTail = s->dir / "v/Base.vol";
        s->window = std::make_unique<frmMain>(o);
        if (!s->window->Form_Load())
            return nullptr;
        return s;
    }
    static int Selected(const QListWidget* list)
    {
        int n = 0;
        for (int i = 0; i < list->count(); ++i)
            n += list->item(i)->isSelected();
        return n;
    }
    static void Select(QListWidget* list, const QString& text)
    {
        list->findItems(text, Qt::MatchExactly).front()->setSelected(true);
    }

private slots:
    void selectAllAndDeselectAll()
    {
        auto s = Open({"a.cs", "b.cs", "c.cs"});
        QVERIFY(s);
        ScriptedSink sink;
        cmdSelAll_Click(*s->window);
        QCOMPARE(Selected(s->window->lstData), 3);
        cmdDelAll_Click(*s->window);
        QCOMPARE(Selected(s->window->lstData), 0);
        s->window->lstData->clear();
        cmdSelAll_Click(*s->window);
        cmdDelAll_Click(*s->window);
        QCOMPARE(sink.shown.size(), std::size_t(0));
    }

    void extractRefusesAnEmptyListAndAnEmptySelection()
    {
        auto s = Open({"a.cs"});
        QVERIFY(s);
        ScriptedSink sink;
        cmdExtract_Click(*s->window);
        s->window->lstData->clear();
        cmdExtract_Click(*s->window);
        QCOMPARE(sink.Texts(), (std::vector<std::string>{"You have selected no files to extract.",
                                                          "There are no listed files to extract."}));
        QCOMPARE(sink.events, (std::vector<std::string>{"beep", "box", "beep", "box"}));
        QCOMPARE(sink.shown[0].icon, MsgIcon::Critical);
    }

    void wholeExtractionThroughTheProgressWindow()
    {
        auto s = Open({"scripts\\ai\\bot.cs", "readme.txt", "skip.cs"});
        QVERIFY(s);
        ScriptedSink sink;
        Select(s->window->lstData, QStringLiteral("scripts\\ai\\bot.cs"));
        Select(s->window->lstData, QStringLiteral("readme.txt"));
        cmdExtract_Click(*s->window);
        QCOMPARE(sink.shown.size(), std::size_t(0));
        QCOMPARE(ReadFile(s->dir / "out/scripts/ai/bot.cs"), std::string("data of scripts\\ai\\bot.cs"));
        QCOMPARE(ReadFile(s->dir / "out/readme.txt"), std::string("data of readme.txt"));
        QVERIFY(!Exists(s->dir / "out/skip.cs"));
        // The list is sorted, so readme.txt went first and bot.cs last.
        const std::string expected = "\"" + ToolPath("extract") + "\" \"" + s->dir / "v/Base.vol" +
                                     "\" scripts\\ai\\bot.cs \"" + s->dir / "out/scripts/ai/bot.cs" + "\"";
        QCOMPARE(QGuiApplication::clipboard()->text().toStdString(), expected);
        QCOMPARE(Selected(s->window->lstData), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void flatExtractionPutsEveryFileInTheDestination()
    {
        auto s = Open({"scripts\\ai\\bot.cs"});
        QVERIFY(s);
        ScriptedSink sink;
        s->window->chkFileSystem->setCheckState(Qt::Unchecked);
        cmdSelAll_Click(*s->window);
        cmdExtract_Click(*s->window);
        QCOMPARE(ReadFile(s->dir / "out/bot.cs"), std::string("data of scripts\\ai\\bot.cs"));
        QVERIFY(!Exists(s->dir / "out/scripts"));
    }

    void overwritePromptAnsweredYesAndNo()
    {
        auto s = Open({"a.cs", "b.cs"});
        QVERIFY(s);
        WriteFile(s->dir / "out/a.cs", "mine a");
        WriteFile(s->dir / "out/b.cs", "mine b");
        s->window->chkOverwrite->setCheckState(Qt::Unchecked);
        ScriptedSink sink;
        sink.answers = {MsgAnswer::No, MsgAnswer::Yes};
        cmdSelAll_Click(*s->window);
        cmdExtract_Click(*s->window);
        QCOMPARE(sink.Texts(), (std::vector<std::string>{s->dir / "out/a.cs" + " already exists.  Overwrite?",
                                                          s->dir / "out/b.cs" + " already exists.  Overwrite?"}));
        QCOMPARE(sink.shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(sink.shown[0].icon, MsgIcon::Question);
        QCOMPARE(ReadFile(s->dir / "out/a.cs"), std::string("mine a"));
        QCOMPARE(ReadFile(s->dir / "out/b.cs"), std::string("data of b.cs"));
    }

    void greyCheckBoxCountsAsChecked()
    {
        auto s = Open({"a.cs"});
        QVERIFY(s);
        WriteFile(s->dir / "out/a.cs", "old");
        s->window->chkOverwrite->setTristate(true);
        s->window->chkOverwrite->setCheckState(Qt::PartiallyChecked);
        ScriptedSink sink;
        cmdSelAll_Click(*s->window);
        cmdExtract_Click(*s->window);
        QCOMPARE(sink.shown.size(), std::size_t(0));
        QCOMPARE(ReadFile(s->dir / "out/a.cs"), std::string("data of a.cs"));
    }

    void missingDestinationShowsErrorThreeOnce()
    {
        auto s = Open({"a.cs", "b.cs"}, false);
        QVERIFY(s);
        ScriptedSink sink;
        cmdSelAll_Click(*s->window);
        cmdExtract_Click(*s->window);
        QCOMPARE(sink.Texts(), std::vector<std::string>{"[Error: 3] " + s->dir / "out" + " is an invalid directory."});
        QCOMPARE(sink.shown[0].icon, MsgIcon::Critical);
        QVERIFY(!Exists(s->dir / "out"));
        QCOMPARE(Selected(s->window->lstData), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void extractorThatCannotStartShowsOneErrorAndTheRestStillRun()
    {
        // A file that exists but is no program: every start fails.
        TempDir tools;
        WriteFile(tools / "extract", "not a program");
        auto s = Open({"a.cs", "b.cs", "c.cs"}, true, tools / "extract");
        QVERIFY(s);
        ScriptedSink sink;
        cmdSelAll_Click(*s->window);
        cmdExtract_Click(*s->window);
        QCOMPARE(sink.shown.size(), std::size_t(1));
        QVERIFY(sink.shown[0].text.rfind("[Error: 4] Unable to shell ", 0) == 0);
        QVERIFY(sink.shown[0].text.find(" a.cs ") != std::string::npos);
        // The last command line on the clipboard is the third file's: the
        // job went on after the window closed.
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral(" c.cs ")));
        QCOMPARE(Selected(s->window->lstData), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(ExtractWindowTest)
#include "ExtractWindowTest.moc"
