// The Qt windows held against the design typed out by hand: each window as
// the user meets it (opened by the program's own toolkit, over an owner put
// off the screen's centre), the keys' order, the message boxes, the
// splash's version, the hourglass.
#include "qt/LayoutWidgets.h"
#include "qt/QtMessageSink.h"
#include "qt/QtToolkit.h"
#include "qt/frmMain.h"
#include "support/DesignedWindows.h"
#include "support/FormSupport.h"
#include "QtSupport.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

// What the window shows of the design, read from its widgets.
ShownWindow Read(const QWidget& w, const DesignedWindow& d, const QWidget* owner)
{
    ShownWindow s;
    s.caption = w.windowTitle().toStdString();
    s.width = w.width();
    s.height = w.height();
    s.resizable = w.minimumSize() != w.maximumSize();
    const Qt::WindowFlags f = w.windowFlags();
    const Qt::WindowType type = w.windowType();
    const bool custom = f.testFlag(Qt::CustomizeWindowHint);
    // Without the customize hint Qt gives each type its usual buttons.
    const auto has = [&](Qt::WindowType hint, bool byDefault) { return custom ? f.testFlag(hint) : byDefault; };
    s.titleBar = !f.testFlag(Qt::FramelessWindowHint) && type != Qt::SplashScreen && has(Qt::WindowTitleHint, true);
    s.dialogFrame = type == Qt::Dialog;
    s.minimizeBox = s.titleBar && has(Qt::WindowMinimizeButtonHint, type == Qt::Window);
    s.maximizeBox = s.titleBar && has(Qt::WindowMaximizeButtonHint, type == Qt::Window);
    s.closeBox = s.titleBar && has(Qt::WindowCloseButtonHint, true);
    // Dialogs over an owner are its transients: the task bar lists the owner.
    s.inTaskBar = type == Qt::Window || (type == Qt::Dialog && !w.parentWidget());
    const QPoint centre = w.frameGeometry().center(), screen = w.screen()->geometry().center();
    const QPoint over = owner ? owner->frameGeometry().center() : QPoint(-1000, -1000);
    s.centreX = centre.x(), s.centreY = centre.y(), s.screenX = screen.x(), s.screenY = screen.y();
    s.ownerX = over.x(), s.ownerY = over.y();
    const auto add = [&s](const char* name, const QWidget* c) {
        if (c)
            s.controls.push_back({name, c->x(), c->y(), c->width(), c->height(), c->isEnabled()});
    };
    for (const DesignedControl& c : d.controls)
        add(c.name, w.findChild<QWidget*>(LayoutWidgets::ObjectName(c.name)));
    for (const char* name : {"picIcon", "labName", "labVersion", "labCompany", "Image1", "labDesc", "cmdOK"})
        if (d.controls.empty())
            add(name, w.findChild<QWidget*>(QString::fromLatin1(name)));
    return s;
}

QByteArray Lines(const std::vector<std::string>& lines)
{
    QByteArray out;
    for (const std::string& l : lines)
        out += "\n  " + QByteArray::fromStdString(l);
    return out;
}

// The design name of the widget with the focus.
std::string FocusName(const std::vector<std::string>& names)
{
    const QWidget* f = QApplication::focusWidget();
    for (const std::string& n : names)
        if (f && f->objectName() == LayoutWidgets::ObjectName(n.c_str()))
            return n;
    return f ? "other: " + f->objectName().toStdString() : "nothing";
}

} // namespace

class DesignTest : public QObject {
    Q_OBJECT
    TempDir dir;

    // A main window listing a volume, away from the screen's centre, its
    // dialogs opened by the program's own toolkit.
    std::unique_ptr<frmMain> Main()
    {
        StartupOptions o = ListingOptions(dir, dir / "out", {"b.cs", "a.cs"});
        auto w = std::make_unique<frmMain>(o, nullptr);
        return w->Form_Load() ? std::move(w) : nullptr;
    }

private slots:
    void everyWindowIsAsDesigned()
    {
        ScriptedSink sink;
        std::unique_ptr<frmMain> main = Main();
        QVERIFY(main);
        std::vector<std::string> all = Differences(Designed("frmMain"), Read(*main, Designed("frmMain"), nullptr));
        main->show();
        main->move(0, 0);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        QtToolkit toolkit(main.get());
        const auto check = [&](const char* name) {
            WhenShown([name, &main, &all](QWidget& w) {
                const ShownWindow s = Read(w, Designed(name), main.get());
                for (const std::string& line : Differences(Designed(name), s))
                    all.push_back(line);
                if (Designed(name).controls.empty())
                    for (const std::string& line : AboutArrangement(s))
                        all.push_back(line);
                // The splash closes itself, when its time is up.
                if (std::string_view(name) != "frmSplash")
                    static_cast<QDialog&>(w).done(0);
            });
        };
        AboutForm about;
        check("frmAbout");
        toolkit.ShowAbout(about);
        DetailsForm details(toolkit);
        check("frmDetails");
        toolkit.ShowDetails(details);
        SplashForm splash(300);
        check("frmSplash");
        toolkit.ShowSplash(splash);
        ProgressForm progress([] { return ExtractionRequest{}; }, toolkit);
        progress.timProcess.Enabled = false;
        WhenShown([&](QWidget& w) {
            for (const std::string& line : Differences(Designed("frmProgress"), Read(w, Designed("frmProgress"), main.get())))
                all.push_back(line);
            progress.Unload();
        });
        toolkit.ShowProgress(progress);
        QVERIFY2(all.empty(), Lines(all));
    }

    // Tab goes round the controls in the designed order, from the contents
    // list, on either page.
    void theKeysGoRoundInTheDesignedOrder()
    {
        ScriptedSink sink;
        std::unique_ptr<frmMain> main = Main();
        QVERIFY(main);
        main->show();
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        const DesignedWindow& d = Designed("frmMain");
        for (const char* page : {"picBase(0)", "picBase(1)"}) {
            const std::vector<std::string> want =
                TabVisits(d, [page](const char* on) { return !*on || std::string_view(on) == page; });
            std::vector<std::string> visited;
            if (std::string_view(page) == "picBase(1)") {
                main->tbsMain->setCurrentIndex(1);
                QApplication::focusWidget()->clearFocus();
                QTest::keyClick(main.get(), Qt::Key_Tab);
            }
            for (std::size_t i = 0; i <= want.size(); ++i) {
                visited.push_back(FocusName(want));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            std::vector<std::string> once = want;
            once.push_back(want.front()); // and round again
            QCOMPARE(visited.size(), once.size());
            for (std::size_t i = 0; i < once.size(); ++i)
                QVERIFY2(visited[i] == once[i], qPrintable(QString::fromStdString(page + (": " + visited[i]) + " for " + once[i])));
        }
    }

    void messageBoxesShowTheirButtonsAndIcons()
    {
        const std::pair<BoxButtons, QMessageBox::StandardButtons> shownButtons[] = {
            {BoxButtons::OK, QMessageBox::Ok}, {BoxButtons::OKCancel, QMessageBox::Ok | QMessageBox::Cancel},
            {BoxButtons::YesNo, QMessageBox::Yes | QMessageBox::No}};
        const std::pair<BoxIcon, QMessageBox::Icon> shownIcons[] = {{BoxIcon::None, QMessageBox::NoIcon},
            {BoxIcon::Critical, QMessageBox::Critical}, {BoxIcon::Question, QMessageBox::Question},
            {BoxIcon::Information, QMessageBox::Information}};
        const auto lookUp = [](const auto& table, auto key) {
            for (const auto& [k, v] : table)
                if (k == key)
                    return v;
            throw std::logic_error("not in the table");
        };
        QtMessageSink sink;
        for (const DesignedBox& box : DesignedBoxes()) {
            QMessageBox::StandardButtons gotButtons;
            QMessageBox::Icon gotIcon = QMessageBox::NoIcon;
            QString title;
            WhenShown([&](QWidget& w) {
                auto& m = static_cast<QMessageBox&>(w);
                gotButtons = m.standardButtons();
                gotIcon = m.icon();
                title = m.windowTitle();
                m.reject();
            });
            sink.Show({box.what, RequestedButtons(box.buttons), RequestedIcon(box.icon), "Tarnwick"});
            QVERIFY2(gotButtons == lookUp(shownButtons, box.buttons) && gotIcon == lookUp(shownIcons, box.icon) &&
                         title == "Tarnwick",
                     box.what);
        }
    }

    void theSplashShowsItsVersionInWhiteBoldOnThePicture()
    {
        const DesignedLabelLook look = SplashVersionLook();
        QtToolkit toolkit(nullptr);
        SplashForm splash(300); // closes itself
        QFont f;
        QColor c;
        bool filled = true;
        Qt::Alignment align;
        WhenShown([&](QWidget& w) {
            if (const QLabel* l = w.findChild<QLabel*>(QStringLiteral("labVersion")))
                f = l->font(), c = l->palette().color(QPalette::WindowText), filled = l->autoFillBackground(),
                align = l->alignment();
        });
        toolkit.ShowSplash(splash);
        QCOMPARE(f.family(), QString::fromLatin1(look.family));
        QCOMPARE(f.pointSizeF(), look.points);
        QCOMPARE(f.bold(), look.bold);
        QCOMPARE(c, QColor(look.red, look.green, look.blue));
        // Transparent: the label paints no background of its own.
        QCOMPARE(!filled, look.transparent);
        QCOMPARE(align.testFlag(Qt::AlignRight), look.rightAligned);
    }

    // While a volume is listed and while the progress window waits for its
    // job, the pointer is the hourglass over every window of the program.
    void theHourglassStandsWhileAListingOrAnExtractionRuns()
    {
        ScriptedSink sink;
        std::unique_ptr<frmMain> main = Main();
        QVERIFY(main);
        MainForm& f = main->Form();
        std::vector<Qt::CursorShape> seen;
        const auto pointer = [] { return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor; };
        auto shown = f.Changed;
        f.Changed = [&](const std::string& name) {
            if (name == "lstData")
                seen.push_back(pointer());
            shown(name);
        };
        MakeVolume(dir / "v/Other.vol", {"x.cs"});
        f.dirMain_Change();
        for (std::size_t i = 0; i < f.filVolumes.Names().size(); ++i)
            if (f.filVolumes.Names()[i] == "Other.vol")
                f.filVolumes.Select(int(i));
        f.filVolumes_Click();
        QVERIFY(!seen.empty() && seen.back() == Qt::WaitCursor && pointer() == Qt::ArrowCursor);
        f.lstData.SetSelected(0, true);
        Qt::CursorShape during = Qt::ArrowCursor;
        WhenShown([&](QWidget&) { during = pointer(); });
        f.cmdExtract_Click();
        QVERIFY(during == Qt::WaitCursor && pointer() == Qt::ArrowCursor);
    }
};

QTEST_MAIN(DesignTest)
#include "DesignTest.moc"
