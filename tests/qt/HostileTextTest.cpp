// Names come from volumes and paths from the disk: whatever they hold, a box
// or a label shows them as the characters they are, never as markup.
#include "GuiSupport.h"
#include "forms/ProgressForm.h"
#include "qt/frmProgress.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "qt/frmAbout.h"
#include "qt/frmSplash.h"
#include "qt/QtMessageSink.h"
#include "qt/QtToolkit.h"
#include "forms/DetailsForm.h"
#include "qt/frmDetails.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const std::string kMarkup = "<h1><font color=green>All 250 files were extracted.</font></h1>";

// QLabel's own rule: automatic format turns markup-looking text into rich text.
bool ShownAsPlainText(const QLabel* label)
{
    return label->textFormat() == Qt::PlainText ||
           (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

// Labels that show text (not pictures) and would render it as markup.
QStringList MarkupLabels(const QWidget& window)
{
    QStringList found;
    for (const QLabel* l : window.findChildren<QLabel*>()) {
        // Qt's auto rule is the danger: a label left to it is reported even
        // when its fixed caption holds no markup today.
        if (!l->text().isEmpty() && l->textFormat() != Qt::PlainText)
            found << l->text();
    }
    return found;
}

} // namespace

class HostileTextTest : public QObject {
    Q_OBJECT
private slots:
    void messageBoxShowsMarkupAsText()
    {
        const std::string text = kMarkup + " is not a valid volume (*.vol) file.";
        QtMessageSink sink;
        QString shown;
        bool plain = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            const QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            shown = label->text();
            plain = ShownAsPlainText(label);
            box->accept();
        });
        sink.Show({text, MsgButtons::OK, MsgIcon::Critical, kProgramTitle});
        QCOMPARE(shown, QString::fromStdString(text));
        QVERIFY(plain);
    }

    // Names from volumes reach two labels; no label of any window reads
    // its text as markup.
    void everyTextLabelIsPlainText()
    {
        TempDir dir;
        WriteFile(dir / "extract", "");
        ScriptedSink sink;
        auto s = StartWindow(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + dir / "extract" + "\n"));
        QtToolkit toolkit(s->window.get());
        ProgressForm progressForm([] { return ExtractionRequest{}; }, toolkit);
        progressForm.timProcess.Enabled = false;
        frmProgress progress(progressForm, s->window.get());
        DetailsForm detailsForm(toolkit);
        AboutForm aboutForm;
        SplashForm splashForm;
        frmDetails details(detailsForm, nullptr);
        frmAbout about(aboutForm, nullptr);
        frmSplash splash(splashForm, nullptr);
        progressForm.objExtract_E_Percent(50, kMarkup);
        detailsForm.Fill(kMarkup, 1, 0, 1, 0, 0, 0);
        for (const QLabel* label : {progress.labFile, details.labName}) {
            QCOMPARE(label->text(), QString::fromStdString(kMarkup));
            QVERIFY(ShownAsPlainText(label));
        }
        const std::pair<const char*, const QWidget*> windows[] = {
            {"main", s->window.get()}, {"progress", &progress}, {"details", &details},
            {"about", &about}, {"splash", &splash}};
        for (const auto& [name, window] : windows)
            QVERIFY2(MarkupLabels(*window).isEmpty(), (name + (": " + MarkupLabels(*window).join(" | "))).toUtf8());
    }
};

QTEST_MAIN(HostileTextTest)
#include "HostileTextTest.moc"
