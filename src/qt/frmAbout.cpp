#include "qt/frmAbout.h"

#include "forms/AboutForm.h"
#include "qt/Artwork.h"
#include "qt/LayoutWidgets.h"
#include "qt/WindowFont.h"

#include <QLabel>
#include <QPushButton>

namespace tarnwick {

frmAbout::frmAbout(AboutForm& form, QWidget* owner) : QDialog(owner), form_(form) { Build(); }


void frmAbout::Build()
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(WindowFont());
    const LayoutWidgets w(*this, AboutForm::Layout());
    picIcon = w.Get<QLabel>("picIcon");
    labName = w.Get<QLabel>("labName");
    labVersion = w.Get<QLabel>("labVersion");
    labCompany = w.Get<QLabel>("labCompany");
    Image1 = w.Get<QLabel>("Image1");
    labDesc = w.Get<QLabel>("labDesc");
    cmdOK = w.Get<QPushButton>("cmdOK");

    picIcon->setPixmap(EmblemPicture(32));
    Image1->setPixmap(ProgramIcon().pixmap(32, 32));
    QFont bold = WindowFont();
    bold.setBold(true);
    bold.setPointSizeF(10);
    labName->setFont(bold);
    labVersion->setAlignment((labVersion->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    labDesc->setWordWrap(true);
    labDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdOK->setDefault(true);

    connect(cmdOK, &QPushButton::clicked, this, [this] { form_.cmdOK_Click(); });
    hooks_.emplace(form_, [this](const std::string&) { Draw(); }, [this] { accept(); });
    Draw();
}

frmAbout::~frmAbout() = default;

void frmAbout::Draw()
{
    labName->setText(QString::fromStdString(form_.labName));
    labVersion->setText(QString::fromStdString(form_.labVersion));
    labCompany->setText(QString::fromStdString(form_.labCompany));
    labDesc->setText(QString::fromStdString(form_.labDesc));
}

void frmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        form_.Form_Load();
    }
}

} // namespace tarnwick
