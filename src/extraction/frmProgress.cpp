#include "extraction/frmProgress.h"

#include "extraction/clsExtract.h"
#include "platform/AnsiText.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/NameListBox.h"
#include "mainwindow/frmMain.h"
#include "platform/WindowFont_ui.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>

namespace tarnwick {

frmProgress::frmProgress(frmMain& main, std::optional<std::string> destination)
    : QDialog(&main), main_(main), destination_(std::move(destination))
{
    // No title bar and no control box: a running job cannot be cancelled.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    setWindowTitle(QString());
    setFont(WindowFont());
    setFixedSize(Twips(4575), Twips(1095));

    lab = new QLabel(QStringLiteral("Now processing:"), this);
    lab->setTextFormat(Qt::PlainText);
    PlaceTwips(lab, 240, 120, 4215, 255);
    // Shows the stored names of a volume: text, never markup.
    labFile = new QLabel(QStringLiteral("Preprocessing data..."), this);
    labFile->setTextFormat(Qt::PlainText);
    PlaceTwips(labFile, 240, 360, 4215, 255);
    pbrProgress = new QProgressBar(this);
    pbrProgress->setRange(0, 100);
    pbrProgress->setValue(0);
    pbrProgress->setTextVisible(false);
    PlaceTwips(pbrProgress, 240, 720, 3735, 255);
    labProgress = new QLabel(QStringLiteral("..."), this);
    labProgress->setTextFormat(Qt::PlainText);
    labProgress->setAlignment(Qt::AlignCenter);
    PlaceTwips(labProgress, 3960, 720, 615, 255);

    // Load: the job is made with the window.
    objExtract_ = std::make_unique<clsExtract>(main.Style());
    objExtract_->E_Percent = [this](std::int16_t v, const std::string& f) { objExtract_E_Percent(v, f); };
    objExtract_->E_Error = [this](std::int16_t n, const std::string& m) { objExtract_E_Error(n, m); };
    // Heard even after the window has closed on the first error: the
    // Extract command sums up every name that failed.
    objExtract_->E_Outcome = [this](const std::string& name, const std::string&, clsExtract::Outcome outcome) {
        ++handled_;
        if (outcome == clsExtract::Outcome::Failed)
            failedNames_.push_back(name);
    };
    objExtract_->SetClipboardText = [](const std::string& text) {
        if (QClipboard* clip = QGuiApplication::clipboard())
            clip->setText(QString::fromLocal8Bit(text));
    };

    timProcess = new QTimer(this);
    timProcess->setInterval(300);
    timProcess->setSingleShot(true);
    connect(timProcess, &QTimer::timeout, this, &frmProgress::timProcess_Timer);
    timProcess->start();
}

frmProgress::~frmProgress() = default;

void frmProgress::timProcess_Timer()
{
    timProcess->setInterval(0);
    timProcess->stop();
    ProcessFiles();
}

void frmProgress::ProcessFiles()
{
    // The stored bytes of each selected name, in list order; the comma form
    // stays for whoever reads FileList, but a name may hold a comma.
    std::vector<std::string> names = main_.lstData->SelectedNames();
    std::string list;
    for (const std::string& name : names)
        list += name + ',';
    if (!list.empty())
        list.pop_back();

    const char sep = Separator(main_.Style());
    std::string volume = main_.DirPath();
    if (volume.empty() || volume.back() != sep)
        volume += sep;
    volume += main_.SelectedVolumeName();

    clsExtract& job = *objExtract_;
    job.SetDestinationPath(destination_ ? *destination_ : main_.txtPath->text().toLocal8Bit().toStdString());
    job.SetExtractPath(main_.txtExtractPath->text().toLocal8Bit().toStdString());
    job.SetFileList(list);
    job.SetNames(std::move(names));
    job.SetOverwrite(main_.chkOverwrite->checkState() != Qt::Unchecked);
    job.SetRecreateStructure(main_.chkFileSystem->checkState() != Qt::Unchecked);
    job.SetVOLPath(volume);
    running_ = true;
    job.Extract({}, {}, {}, {});
    running_ = false;
    Unload();
}

void frmProgress::objExtract_E_Percent(int value, const std::string& fileName)
{
    if (unloaded_)
        return;
    pbrProgress->setValue(value);
    labProgress->setText(QString::number(value) + QLatin1Char('%'));
    // A stored name: Windows-1252 bytes, shown as their text.
    labFile->setText(QString::fromUtf8(AnsiToUtf8(fileName)));
    // The job holds the thread: only an explicit repaint shows the change.
    repaint();
}

void frmProgress::objExtract_E_Error(int number, const std::string& message)
{
    if (unloaded_)
        return;
    MsgBox("[Error: " + std::to_string(number) + "] " + message, MsgButtons::OK, MsgIcon::Critical);
    Unload();
}

void frmProgress::Unload()
{
    if (unloaded_)
        return;
    // The window goes; a job still running hears from no one any more, and
    // is released once it has returned.
    unloaded_ = true;
    hide();
    done(QDialog::Accepted);
}

void frmProgress::keyPressEvent(QKeyEvent* event)
{
    // Esc must not close the window under a running job.
    event->accept();
}

void frmProgress::closeEvent(QCloseEvent* event)
{
    if (running_ || !unloaded_)
        event->ignore();
    else
        event->accept();
}

} // namespace tarnwick
