#pragma once
// The splash window: lays out SplashForm's picture and version and runs its
// timer; it closes when the form unloads.
#include "forms/SplashForm.h"
#include "qt/FormHooks.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;

namespace tarnwick {

class FormTimer;

class frmSplash : public QDialog {
    Q_OBJECT
public:
    static constexpr int kReleaseMilliseconds = SplashForm::kReleaseMilliseconds;

    frmSplash(SplashForm& form, QWidget* owner);
    ~frmSplash() override;

    QLabel* imgSplash = nullptr;
    QLabel* labVersion = nullptr;
    bool TimerRunning() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Build();
    void Draw(const std::string& control);

    SplashForm& form_;
    std::unique_ptr<FormTimer> timRelease_;
    std::optional<FormHooks> hooks_;
    bool loaded_ = false;
};

} // namespace tarnwick
