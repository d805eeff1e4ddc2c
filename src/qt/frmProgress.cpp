#include "qt/frmProgress.h"

#include "forms/ProgressForm.h"
#include "qt/FormTimer.h"
#include "qt/LayoutWidgets.h"
#include "qt/WindowFont.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

namespace tarnwick {

frmProgress::frmProgress(ProgressForm& form, QWidget* owner) : QDialog(owner), form_(form)
{
    // No title bar and no control box: a running job cannot be cancelled.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    setFont(WindowFont());
    const LayoutWidgets w(*this, ProgressForm::Layout());
    lab = w.Get<QLabel>("lab");
    labFile = w.Get<QLabel>("labFile");
    pbrProgress = w.Get<QProgressBar>("pbrProgress");
    labProgress = w.Get<QLabel>("labProgress");

    timProcess_ = std::make_unique<FormTimer>(this, form_.timProcess, [this] { form_.timProcess_Timer(); });
    hooks_.emplace(form_, [this](const std::string& control) { Draw(control); }, [this] {
        hide();
        done(QDialog::Accepted);
    });
    form_.Form_Load();
    Draw("");
}

frmProgress::~frmProgress() = default;

bool frmProgress::TimerRunning() const { return timProcess_->Running(); }

void frmProgress::Draw(const std::string& control)
{
    timProcess_->Follow();
    if (control == "timProcess")
        return;
    lab->setText(QString::fromStdString(form_.lab));
    labFile->setText(QString::fromStdString(form_.labFile));
    pbrProgress->setValue(form_.pbrProgress);
    labProgress->setText(QString::fromStdString(form_.labProgress));
    // The job holds the thread: only an explicit repaint shows the change.
    repaint();
}

void frmProgress::keyPressEvent(QKeyEvent* event)
{
    // Esc must not close the window under a running job.
    event->accept();
}

void frmProgress::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    form_.Form_QueryUnload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

} // namespace tarnwick
