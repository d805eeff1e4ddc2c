#include "volume/frmDetails.h"

#include "platform/WindowFont_ui.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace tarnwick {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* caption, int left, int top, int width, int height,
                  bool rightAligned)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    // The name label shows a file's name: text, never markup.
    l->setTextFormat(Qt::PlainText);
    PlaceTwips(l, left, top, width, height);
    l->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    // A value longer than its label is cut, never wrapped over the next row.
    l->setWordWrap(false);
    return l;
}

// The locale's long time, minus the time-zone name that Qt adds to it and
// the system's own long time does not show.
QString LongTimeFormat(const QLocale& locale)
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

} // namespace

frmDetails::frmDetails(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(QStringLiteral("Volume Details"));
    // A fixed dialog frame with a close box only: no icon, no help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon());
    setFont(WindowFont());
    setFixedSize(Twips(4095), Twips(2415));

    lab[0] = MakeLabel(this, "Name:", 120, 120, 855, 255, false);
    labName = MakeLabel(this, "...", 960, 120, 2895, 255, true);
    lab[1] = MakeLabel(this, "File Size:", 120, 360, 975, 255, false);
    labSize = MakeLabel(this, "...", 1080, 360, 2775, 255, true);
    lab[2] = MakeLabel(this, "File Date:", 120, 600, 855, 255, false);
    labDate = MakeLabel(this, "...", 1080, 600, 2775, 255, true);
    lab[3] = MakeLabel(this, "# Files:", 120, 840, 855, 255, false);
    labFileCount = MakeLabel(this, "...", 1080, 840, 2775, 255, true);

    fraBinary = new QGroupBox(QStringLiteral("Binary Information"), this);
    fraBinary->setObjectName(QStringLiteral("frmDetails"));
    PlaceTwips(fraBinary, 120, 1200, 2775, 1095);
    lab[4] = MakeLabel(fraBinary, "PVOL:", 120, 240, 615, 255, false);
    labPVOL = MakeLabel(fraBinary, "...", 1080, 240, 1455, 255, true);
    lab[5] = MakeLabel(fraBinary, "VOLS:", 120, 480, 615, 255, false);
    labVOLS = MakeLabel(fraBinary, "...", 1080, 480, 1455, 255, true);
    lab[6] = MakeLabel(fraBinary, "VOLI:", 120, 720, 615, 255, false);
    labVOLI = MakeLabel(fraBinary, "...", 1080, 720, 1455, 255, true);

    for (int i = 0; i < 7; ++i)
        lab[i]->setObjectName(QStringLiteral("lab%1").arg(i));
    labName->setObjectName(QStringLiteral("labName"));
    labSize->setObjectName(QStringLiteral("labSize"));
    labDate->setObjectName(QStringLiteral("labDate"));
    labFileCount->setObjectName(QStringLiteral("labFileCount"));
    labPVOL->setObjectName(QStringLiteral("labPVOL"));
    labVOLS->setObjectName(QStringLiteral("labVOLS"));
    labVOLI->setObjectName(QStringLiteral("labVOLI"));

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    PlaceTwips(cmdOK, 3000, 1920, 975, 375);
    // Neither default nor cancel button: Enter presses it only while it has
    // the focus, and Esc does nothing.
    cmdOK->setDefault(false);
    cmdOK->setAutoDefault(false);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmDetails::cmdOK_Click);
}

void frmDetails::cmdOK_Click()
{
    accept();
}

void frmDetails::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && cmdOK->hasFocus()) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString frmDetails::GeneralDate(const QDateTime& when, const QLocale& locale)
{
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime t = when.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return date;
    return date + QLatin1Char(' ') + locale.toString(when.time(), LongTimeFormat(locale));
}

void frmDetails::Fill(const std::string& name, std::optional<std::int64_t> size,
                      std::optional<std::time_t> modified, long long fileCount, std::int32_t pvol,
                      std::int32_t vols, std::int32_t voli)
{
    labName->setText(QString::fromLocal8Bit(name));
    labSize->setText(size ? QString::number(*size) : QString::fromLatin1(kUnknown));
    labDate->setText(modified ? GeneralDate(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(*modified)))
                              : QString::fromLatin1(kUnknown));
    labFileCount->setText(QString::number(fileCount));
    labPVOL->setText(QString::number(pvol));
    labVOLS->setText(QString::number(vols));
    labVOLI->setText(QString::number(voli));
}

} // namespace tarnwick
