#include "qt/frmDetails.h"
#include "qt/QtText.h"

#include "qt/LayoutWidgets.h"
#include "qt/WindowFont.h"
#include "forms/DetailsForm.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace tarnwick {

frmDetails::frmDetails(DetailsForm& form, QWidget* owner) : QDialog(owner), form_(form) { Build(); }

void frmDetails::Build()
{
    setObjectName(QStringLiteral("frmDetails"));
    // A fixed dialog frame with a close box only: no icon, no help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon());
    setFont(WindowFont());
    const LayoutWidgets w(*this, DetailsForm::Layout());
    for (int i = 0; i < 7; ++i)
        lab[i] = w.Get<QLabel>("lab(" + std::to_string(i) + ")");
    labName = w.Get<QLabel>("labName");
    labSize = w.Get<QLabel>("labSize");
    labDate = w.Get<QLabel>("labDate");
    labFileCount = w.Get<QLabel>("labFileCount");
    fraBinary = w.Get<QGroupBox>("frmDetails");
    labPVOL = w.Get<QLabel>("labPVOL");
    labVOLS = w.Get<QLabel>("labVOLS");
    labVOLI = w.Get<QLabel>("labVOLI");
    cmdOK = w.Get<QPushButton>("cmdOK");
    // Rows stand at the top of their labels; a value longer than its label
    // is cut (labels do not wrap), never run over the next row.
    for (QLabel* label : findChildren<QLabel*>())
        label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);

    // Neither default nor cancel button: Enter presses it only while it has
    // the focus, and Esc does nothing.
    cmdOK->setDefault(false);
    cmdOK->setAutoDefault(false);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, [this] { form_.cmdOK_Click(); });
    hooks_.emplace(form_, [this](const std::string&) { Draw(); }, [this] { accept(); });
    Draw();
}

frmDetails::~frmDetails() = default;

void frmDetails::Draw()
{
    // The name is the disk's, in the locale's text; the rest the form's own.
    labName->setText(ToQt(form_.labName));
    const std::pair<QLabel*, const std::string*> values[] = {
        {labSize, &form_.labSize}, {labDate, &form_.labDate}, {labFileCount, &form_.labFileCount},
        {labPVOL, &form_.labPVOL}, {labVOLS, &form_.labVOLS}, {labVOLI, &form_.labVOLI}};
    for (const auto& [label, text] : values)
        label->setText(QString::fromStdString(*text));
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

} // namespace tarnwick
