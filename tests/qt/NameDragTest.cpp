// Dragging selected names out of the contents list to a file manager,
// without one: the drag's data is looked at, and the target's answers are
// given as a file manager gives them.
#include "GuiSupport.h"
#include "qt/NameDrag.h"
#include "qt/NameListBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>
#include <QtTest>

#include <filesystem>

using namespace tarnwick;
using namespace tarnwick::test;

class NameDragTest : public QObject {
    Q_OBJECT
private:
    TempDir dir;
    std::string out = dir / "out", drop = dir / "dropped here";

    // A window listing Base.vol, its "Extraction Path:" `out`; the names
    // given are selected.
    std::unique_ptr<Started> Open(const std::vector<std::string>& names, const std::vector<int>& selected)
    {
        std::filesystem::remove_all(drop);
        MakeFolder(drop);
        auto s = StartWindow(ListingOptions(dir, out, names));
        for (int row : selected)
            s->form().lstData.SetSelected(std::size_t(row), true);
        return s;
    }
    static bool Idle(Started& s) { return !s.form().lstData.HasSelection() && s.toolkit.waits == 0; }
    static QByteArray Uri(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded(); }
    // Nothing extracted into the "Extraction Path:" or where a drop would go.
    bool NothingExtracted() const { return FilesBelow(out).empty() && FilesBelow(drop).empty(); }

private slots:
    void theDragOffersTheDirectSaveNameAndAFileListAndExtractsNothingYet()
    {
        // List order is sorted: a.cs, b\c.cs, d.cs.
        struct Case {
            std::vector<int> rows;
            std::string suggested;
        };
        const Case cases[] = {{{1}, "c.cs"}, {{0, 2}, "Base.vol"}, {{}, ""}};
        for (const Case& c : cases) {
            auto s = Open({"d.cs", "a.cs", "b\\c.cs"}, c.rows);
            ScriptedSink sink;
            std::unique_ptr<NameDragData> data = MakeNameDragData(*s->window);
            QCOMPARE(data != nullptr, !c.rows.empty());
            if (!data)
                continue;
            QCOMPARE(data->formats(), (QStringList{"XdndDirectSave0", "text/uri-list"}));
            QVERIFY(data->hasFormat("text/uri-list") && !data->hasFormat("text/plain"));
            QCOMPARE(data->SuggestedName(), c.suggested);
            QVERIFY(NothingExtracted());
            QVERIFY(!data->DropFolder() && !data->StagingFolder());
            QVERIFY(s->form().lstData.HasSelection());
            QVERIFY(sink.texts.empty());
        }
    }

    void aDirectSaveTargetsFolderGetsTheNamesThroughTheJobWithTheButtonsOptions()
    {
        for (const bool recreate : {true, false}) {
            auto s = Open({"d.cs", "a.cs", "b\\c.cs"}, {0, 1});
            frmMain& w = *s->window;
            s->form().chkFileSystem = recreate ? CheckState::Checked : CheckState::Unchecked;
            s->form().chkOverwrite = CheckState::Unchecked;
            WriteFile(drop + "/a.cs", "mine");
            std::unique_ptr<NameDragData> data = MakeNameDragData(w);
            // The target writes the offered name into the folder of the drop.
            data->ReadDirectSaveAnswer = [&] { return Uri(drop + "/" + data->SuggestedName()); };
            ScriptedSink sink;
            sink.answers = {MsgAnswer::No}; // keep the user's a.cs
            QStringList shown;
            const ProgressForm* running = nullptr;
            s->toolkit.onShow = [&](Form& p) { running = dynamic_cast<const ProgressForm*>(&p); };
            sink.onShow = [&](const MessageRequest&) {
                shown << (running && !running->Unloaded() ? QString::fromStdString(running->labFile) : QString());
            };
            QCOMPARE(data->data("XdndDirectSave0"), QByteArray("S"));
            QCOMPARE(data->DropFolder(), std::optional<std::string>(drop));
            // Nothing yet: the target is still waiting for its answer.
            QCOMPARE(FilesBelow(drop), std::vector<std::string>{"a.cs"});
            FinishNameDrag(w, *data);
            QCOMPARE(sink.texts, std::vector<std::string>{drop + "/a.cs already exists.  Overwrite?"});
            QCOMPARE(shown, QStringList{"a.cs"}); // asked in the progress window's presence
            QCOMPARE(ReadFile(drop + "/a.cs"), std::string("mine"));
            QCOMPARE(ReadFile(drop + (recreate ? "/b/c.cs" : "/c.cs")), std::string("data of b\\c.cs"));
            QCOMPARE(FilesBelow(drop), (std::vector<std::string>{"a.cs", recreate ? "b/c.cs" : "c.cs"}));
            QVERIFY(FilesBelow(out).empty()); // the "Extraction Path:" is left alone
            QCOMPARE(w.txtPath->text().toStdString(), out);
            QVERIFY(Idle(*s));
            QVERIFY(!data->StagingFolder());
        }
    }

    void aTargetWithoutAFolderGetsNoExtraction()
    {
        for (const QByteArray& answer : {QByteArray(), QByteArray("https://example.org/x.cs"), QByteArray("nonsense")}) {
            auto s = Open({"a.cs"}, {0});
            std::unique_ptr<NameDragData> data = MakeNameDragData(*s->window);
            data->ReadDirectSaveAnswer = [&] { return answer; };
            ScriptedSink sink;
            QCOMPARE(data->data("XdndDirectSave0"), QByteArray("E"));
            FinishNameDrag(*s->window, *data);
            QVERIFY(!data->DropFolder());
            QVERIFY(NothingExtracted());
            QVERIFY(s->form().lstData.HasSelection());
            QVERIFY(sink.texts.empty());
        }
    }

    void aFileListTargetCopiesFilesTheJobPutInAPrivateFolder()
    {
        for (const bool recreate : {true, false}) {
            auto s = Open({"d.cs", "a.cs", "b\\c.cs"}, {1, 2});
            frmMain& w = *s->window;
            s->form().chkFileSystem = recreate ? CheckState::Checked : CheckState::Unchecked;
            std::unique_ptr<NameDragData> data = MakeNameDragData(w);
            ScriptedSink sink;
            const QList<QUrl> urls = data->urls();
            QVERIFY(data->StagingFolder());
            const std::string staged = *data->StagingFolder();
            QVERIFY(staged.find(dir.Path()) != 0 && staged != out);
            QList<QUrl> expected{QUrl::fromLocalFile(QString::fromStdString(staged + (recreate ? "/b" : "/c.cs"))),
                                 QUrl::fromLocalFile(QString::fromStdString(staged + "/d.cs"))};
            QCOMPARE(urls, expected);
            QCOMPARE(ReadFile(staged + (recreate ? "/b/c.cs" : "/c.cs")), std::string("data of b\\c.cs"));
            QCOMPARE(ReadFile(staged + "/d.cs"), std::string("data of d.cs"));
            QVERIFY(Idle(*s));
            // Asked again (targets do), the same list, no second run.
            std::filesystem::remove(staged + "/d.cs");
            QCOMPARE(data->urls(), expected);
            QVERIFY(!Exists(staged + "/d.cs"));
            FinishNameDrag(w, *data);
            QVERIFY(NothingExtracted());
            QVERIFY(sink.texts.empty());
            // The private folder goes with the window.
            s->window.reset();
            QVERIFY(!Exists(staged));
        }
    }
};

QTEST_MAIN(NameDragTest)
#include "NameDragTest.moc"
