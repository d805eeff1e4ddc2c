#include "qt/frmSplash.h"

#include "qt/Artwork.h"
#include "qt/FormTimer.h"
#include "qt/LayoutWidgets.h"
#include "qt/WindowFont.h"

#include <QKeyEvent>
#include <QLabel>

namespace tarnwick {

frmSplash::frmSplash(SplashForm& form, QWidget* owner) : QDialog(owner), form_(form) { Build(); }

void frmSplash::Build()
{
    // No title, no task-bar entry.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    const LayoutWidgets w(*this, SplashForm::Layout());
    imgSplash = w.Get<QLabel>("imgSplash");
    labVersion = w.Get<QLabel>("labVersion");
    imgSplash->setPixmap(SplashPicture());
    QFont bold = WindowFont();
    bold.setBold(true);
    labVersion->setFont(bold);
    labVersion->setAlignment((labVersion->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    labVersion->setAttribute(Qt::WA_TranslucentBackground);
    QPalette pal = labVersion->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    labVersion->setPalette(pal);

    timRelease_ = std::make_unique<FormTimer>(this, form_.timRelease, [this] { form_.timRelease_Timer(); });
    hooks_.emplace(form_, [this](const std::string& control) { Draw(control); }, [this] { accept(); });
    Draw("");
}

frmSplash::~frmSplash() = default;

bool frmSplash::TimerRunning() const { return timRelease_->Running(); }

void frmSplash::Draw(const std::string& control)
{
    if (control.empty() || control == "timRelease")
        timRelease_->Follow();
    if (control.empty() || control == "labVersion") {
        labVersion->setText(QString::fromStdString(form_.labVersion));
        // The window is still opening: drawn now, not when the loop comes by.
        repaint();
    }
}

void frmSplash::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        form_.Form_Load();
    }
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Only the timer closes the splash; Esc would otherwise reject it.
    event->accept();
}

} // namespace tarnwick
