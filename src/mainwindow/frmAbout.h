#pragma once
// The About window: name, version, suite and a short description.
#include <QDialog>

class QLabel;
class QPushButton;

namespace tarnwick {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* owner = nullptr);

    QLabel* picIcon = nullptr;
    QLabel* labName = nullptr;
    QLabel* labVersion = nullptr;
    QLabel* labCompany = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* labDesc = nullptr;
    QPushButton* cmdOK = nullptr;

    static const char* const kDescription;

private:
    void cmdOK_Click();
};

} // namespace tarnwick
