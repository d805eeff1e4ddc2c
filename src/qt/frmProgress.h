#pragma once
// The progress window: lays out ProgressForm's labels and bar, runs its
// timer and draws the form again each time the job reports.
#include "qt/FormHooks.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

class QLabel;
class QProgressBar;

namespace tarnwick {

class FormTimer;
class ProgressForm;

class frmProgress : public QDialog {
    Q_OBJECT
public:
    frmProgress(ProgressForm& form, QWidget* owner);
    ~frmProgress() override;

    QLabel* lab = nullptr;
    QLabel* labFile = nullptr;
    QProgressBar* pbrProgress = nullptr;
    QLabel* labProgress = nullptr;

    ProgressForm& form() const { return form_; }
    bool TimerRunning() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Draw(const std::string& control);

    ProgressForm& form_;
    std::unique_ptr<FormTimer> timProcess_;
    std::optional<FormHooks> hooks_;
};

} // namespace tarnwick
