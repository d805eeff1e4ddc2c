#pragma once
// The "Volume Details" window: lays out DetailsForm's labels and shows its
// values; OK closes it.
#include "qt/FormHooks.h"

#include <QDialog>

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace tarnwick {

class DetailsForm;
class QtToolkit;

class frmDetails : public QDialog {
    Q_OBJECT
public:
    frmDetails(DetailsForm& form, QWidget* owner);
    ~frmDetails() override;

    // The caption labels "Name:" ... "VOLI:", indices 0 to 6.
    QLabel* lab[7] = {};
    QLabel* labName = nullptr;
    QLabel* labSize = nullptr;
    QLabel* labDate = nullptr;
    QLabel* labFileCount = nullptr;
    // The "Binary Information" frame (its object name is "frmDetails", as
    // the window's own).
    QGroupBox* fraBinary = nullptr;
    QLabel* labPVOL = nullptr;
    QLabel* labVOLS = nullptr;
    QLabel* labVOLI = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Build();
    void Draw();

    DetailsForm& form_;
    std::optional<FormHooks> hooks_;
};

} // namespace tarnwick
