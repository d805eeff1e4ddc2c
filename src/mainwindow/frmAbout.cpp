#include "mainwindow/frmAbout.h"

#include "mainwindow/Artwork_ui.h"
#include "platform/WindowFont_ui.h"

#include <QLabel>
#include <QPushButton>

namespace tarnwick {

const char* const frmAbout::kDescription =
    "     Tarnwick gives Starsiege: Tribes scripters a Windows Graphical Interface to the command line tool, "
    "extract, thus making it easier to extract the resources in the game's volume (*.vol) files.  Part of the "
    "Cairnix Suite family, Tarnwick is second in a line of utilities.";

frmAbout::frmAbout(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("About Tarnwick"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(WindowFont());
    setFixedSize(Twips(5850), Twips(3330));

    picIcon = new QLabel(this);
    picIcon->setPixmap(EmblemPicture(32));
    picIcon->setGeometry(Twips(120), Twips(120), 32, 32);

    labName = new QLabel(QStringLiteral("Tarnwick"), this);
    labName->setTextFormat(Qt::PlainText);
    QFont bold = WindowFont();
    bold.setBold(true);
    bold.setPointSizeF(10);
    labName->setFont(bold);
    PlaceTwips(labName, 720, 120, 2535, 285);

    labVersion = new QLabel(QStringLiteral("..."), this);
    labVersion->setTextFormat(Qt::PlainText);
    labVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    PlaceTwips(labVersion, 3360, 150, 2370, 255);

    labCompany = new QLabel(QStringLiteral("Cairnix Suite"), this);
    labCompany->setTextFormat(Qt::PlainText);
    PlaceTwips(labCompany, 720, 420, 2535, 255);

    Image1 = new QLabel(this);
    Image1->setPixmap(ProgramIcon().pixmap(32, 32));
    Image1->setGeometry(Twips(120), Twips(1080), 32, 32);

    labDesc = new QLabel(QString::fromLatin1(kDescription), this);
    labDesc->setTextFormat(Qt::PlainText);
    labDesc->setWordWrap(true);
    labDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(labDesc, 1080, 960, 4455, 1215);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    PlaceTwips(cmdOK, 4440, 2760, 1215, 375);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    // Form_Load: the version is built when the window is made.
    labVersion->setText(ProgramVersionText());
}

void frmAbout::cmdOK_Click()
{
    accept();
}

} // namespace tarnwick
