#include "mainwindow/frmSplash.h"

#include "mainwindow/Artwork_ui.h"
#include "platform/WindowFont_ui.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace tarnwick {

frmSplash::frmSplash(QWidget* owner, int releaseMilliseconds) : QDialog(owner)
{
    // No title, no task-bar entry.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFixedSize(400, 200);
    auto* picture = new QLabel(this);
    picture->setPixmap(SplashPicture());
    picture->setGeometry(0, 0, 400, 200);

    labVersion = new QLabel(QStringLiteral("..."), this);
    labVersion->setTextFormat(Qt::PlainText);
    labVersion->setObjectName(QStringLiteral("labVersion"));
    QFont bold = WindowFont();
    bold.setBold(true);
    labVersion->setFont(bold);
    labVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    labVersion->setAttribute(Qt::WA_TranslucentBackground);
    QPalette pal = labVersion->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    labVersion->setPalette(pal);
    PlaceTwips(labVersion, 4800, 120, 1095, 255);

    timRelease = new QTimer(this);
    timRelease->setSingleShot(true);
    timRelease->setInterval(releaseMilliseconds);
    connect(timRelease, &QTimer::timeout, this, &frmSplash::timRelease_Timer);
}

void frmSplash::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!loaded_)
        Form_Load();
}

void frmSplash::Form_Load()
{
    loaded_ = true;
    labVersion->setText(ProgramVersionText());
    repaint();
    timRelease->start();
}

void frmSplash::timRelease_Timer()
{
    accept();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Only the timer closes the splash; Esc would otherwise reject it.
    event->accept();
}

} // namespace tarnwick
