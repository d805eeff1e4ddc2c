#include "qt/QtToolkit.h"
#include "qt/QtText.h"

#include "qt/frmProgress.h"
#include "qt/frmAbout.h"
#include "qt/frmSplash.h"
#include "qt/BrowseForFolder.h"
#include "qt/frmDetails.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QTime>

namespace tarnwick {

namespace {

// Qt reads a filter's patterns from the parentheses that end its text; the
// label may show them already ("Executable Files (*.exe)").
QString NameFilter(const FileFilter& filter)
{
    QString label = QString::fromStdString(filter.label).trimmed();
    if (const qsizetype open = label.lastIndexOf(QLatin1Char('(')); open >= 0 && label.endsWith(QLatin1Char(')')))
        label.truncate(open);
    QString patterns = QString::fromStdString(filter.patterns);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return label.trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

QDate DateOf(const std::tm& when) { return QDate(when.tm_year + 1900, when.tm_mon + 1, when.tm_mday); }
QTime TimeOf(const std::tm& when) { return QTime(when.tm_hour, when.tm_min, when.tm_sec); }

} // namespace

QtToolkit::QtToolkit(QWidget* owner) : owner_(owner) {}

QtToolkit::~QtToolkit()
{
    // An hourglass left up by a form that went away early comes down too.
    while (waits_ > 0)
        SetWaitPointer(false);
}

namespace {

template <class Window, class WindowsForm> void ShowModal(WindowsForm& form, QWidget* owner)
{
    Window window(form, owner);
    window.exec();
}

} // namespace

// The splash opens before the main window shows: it stands on its own,
// centred on the screen, not over a hidden owner.
void QtToolkit::ShowSplash(SplashForm& form) { ShowModal<frmSplash>(form, nullptr); }
void QtToolkit::ShowAbout(AboutForm& form) { ShowModal<frmAbout>(form, owner_); }
void QtToolkit::ShowDetails(DetailsForm& form) { ShowModal<frmDetails>(form, owner_); }
void QtToolkit::ShowProgress(ProgressForm& form) { ShowModal<frmProgress>(form, owner_); }

std::string QtToolkit::PickFolder(const std::string& title) { return BrowseForFolder(owner_, title); }

std::optional<std::string> QtToolkit::PickFile(const OpenFileRequest& request)
{
    QFileDialog dialog(owner_, QString::fromStdString(request.title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const FileFilter& f : request.filters)
        filters << NameFilter(f);
    dialog.setNameFilters(filters);
    if (!request.defaultSuffix.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    dialog.setDirectory(ToQt(request.folder));
    dialog.selectFile(ToQt(request.suggested));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FromQt(dialog.selectedFiles().front());
}

void QtToolkit::SetWaitPointer(bool wait)
{
    if (wait) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++waits_;
    } else if (waits_ > 0) {
        // Only its own: a cursor another part of the program set stays.
        QApplication::restoreOverrideCursor();
        --waits_;
    }
}

void QtToolkit::SetClipboardText(const std::string& text)
{
    if (QClipboard* clip = QGuiApplication::clipboard())
        clip->setText(ToQt(text));
}

void QtToolkit::PopupVolumeMenu(MenuPlace place)
{
    if (VolumeMenu)
        VolumeMenu(place);
}

std::string QtToolkit::ShortDate(const std::tm& when)
{
    return QLocale::system().toString(DateOf(when), QLocale::ShortFormat).toStdString();
}

std::string QtToolkit::LongTime(const std::tm& when)
{
    const QLocale locale = QLocale::system();
    return locale.toString(TimeOf(when), LongTimeFormat(locale)).toStdString();
}

QString QtToolkit::LongTimeFormat(const QLocale& locale)
{
    const QString f = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : f) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}

} // namespace tarnwick
