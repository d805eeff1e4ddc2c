// The small windows on Qt: each built from its form's layout table and wired
// to its form, shown through the Qt toolkit.
#include "forms/ProgressForm.h"
#include "qt/frmProgress.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "qt/frmAbout.h"
#include "qt/frmSplash.h"
#include "qt/LayoutWidgets.h"
#include "qt/QtToolkit.h"
#include "qt/WindowFont.h"
#include "forms/DetailsForm.h"
#include "qt/frmDetails.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <functional>

using namespace tarnwick;

namespace {

// A control's caption as its widget shows it.
QString Caption(const QWidget* w)
{
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    return QString();
}

// Runs `act` on the modal window once it is up.
void WhenShown(std::function<void(QWidget&)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        QVERIFY(w);
        act(*w);
    });
}

} // namespace

class SmallWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlStandsWhereItsTableSays()
    {
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
            {&a, &AboutForm::Layout()}, {&s, &SplashForm::Layout()},
            {&d, &DetailsForm::Layout()}, {&p, &ProgressForm::Layout()}};
        for (const auto& [window, layout] : windows) {
            QCOMPARE(window->windowTitle(), QString::fromUtf8(layout->caption));
            QCOMPARE(window->size(), QSize(Twips(layout->width), Twips(layout->height)));
            for (const ControlPlace& c : layout->controls) {
                const QWidget* w = window->findChild<QWidget*>(LayoutWidgets::ObjectName(c.name));
                QVERIFY2(w, c.name);
                const QWidget* holder = *c.container ? window->findChild<QWidget*>(c.container) : window;
                QCOMPARE(w->parentWidget(), holder);
                QCOMPARE(w->geometry(), TwipRect(c.left, c.top, c.width, c.height));
                QCOMPARE(Caption(w), QString::fromUtf8(c.caption));
                if (const auto* label = qobject_cast<const QLabel*>(w); label && c.kind == ControlKind::Label)
                    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask,
                             Qt::Alignment(c.align == TextAlign::Right    ? Qt::AlignRight
                                           : c.align == TextAlign::Center ? Qt::AlignHCenter
                                                                          : Qt::AlignLeft));
            }
        }
    }

    void eachWindowDrawsItsFormAndClosesWhenItUnloads()
    {
        QtToolkit toolkit(nullptr);
        AboutForm about;
        WhenShown([&](QWidget& w) {
            QCOMPARE(w.findChild<QLabel*>("labVersion")->text(), QString::fromStdString(about.labVersion));
            QVERIFY(about.labVersion != "...");
            QTest::keyClick(&w, Qt::Key_Return); // the default button
        });
        toolkit.ShowAbout(about);

        SplashForm splash(20);
        toolkit.ShowSplash(splash); // closes itself
        QVERIFY(!splash.timRelease.Enabled);

        DetailsForm details(toolkit);
        details.Fill("Scripts.vol", std::nullopt, std::nullopt, 12, 1016, 224, 204);
        WhenShown([&](QWidget& w) {
            QCOMPARE(w.findChild<QLabel*>("labSize")->text(), QStringLiteral("unknown"));
            QCOMPARE(w.findChild<QLabel*>("labPVOL")->text(), QStringLiteral("1016"));
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
    }

    void theToolkitsHourglassNestsAndLeavesOthersAlone()
    {
        QApplication::setOverrideCursor(Qt::IBeamCursor); // someone else's
        {
            QtToolkit toolkit(nullptr);
            const WaitPointer outer(toolkit);
            toolkit.SetWaitPointer(true);
            toolkit.SetWaitPointer(false);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            toolkit.SetWaitPointer(false);
            toolkit.SetWaitPointer(false); // one too many: not someone else's to take
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
            toolkit.SetWaitPointer(true); // left up: comes down with the toolkit
        }
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
        QApplication::restoreOverrideCursor();
    }

    void theFileDialogOffersTheRequestsFiltersAndTheLongTimeNoZone()
    {
        QtToolkit toolkit(nullptr);
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
};

QTEST_MAIN(SmallWindowsTest)
#include "SmallWindowsTest.moc"
