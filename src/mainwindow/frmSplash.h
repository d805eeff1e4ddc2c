#pragma once
// The splash window: the picture and the version, for a fixed time at
// start-up; it closes itself when its timer fires.
#include <QDialog>

class QLabel;
class QTimer;

namespace tarnwick {

class frmSplash : public QDialog {
    Q_OBJECT
public:
    static constexpr int kReleaseMilliseconds = 2551;

    explicit frmSplash(QWidget* owner = nullptr, int releaseMilliseconds = kReleaseMilliseconds);

    QLabel* labVersion = nullptr;
    QTimer* timRelease = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void timRelease_Timer();
    bool loaded_ = false;
};

} // namespace tarnwick
