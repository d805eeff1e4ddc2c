#pragma once
// The About window: lays out AboutForm's controls and wires them to it.
#include <QDialog>

#include "qt/FormHooks.h"

#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace tarnwick {

class AboutForm;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(AboutForm& form, QWidget* owner);
    ~frmAbout() override;

    QLabel* picIcon = nullptr;
    QLabel* labName = nullptr;
    QLabel* labVersion = nullptr;
    QLabel* labCompany = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* labDesc = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void Draw();

    AboutForm& form_;
    std::optional<FormHooks> hooks_;
    bool loaded_ = false;
};

} // namespace tarnwick
