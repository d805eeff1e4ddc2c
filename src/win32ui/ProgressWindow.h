#pragma once
// The progress window over its form: no title bar (a running job cannot be
// cancelled), the form's 300 ms timer starting the job.
#include "win32ui/FormWindow.h"

namespace tarnwick {
class ProgressForm;
}

namespace tarnwick::win32ui {

class ProgressWindow : public FormWindow {
public:
    ProgressWindow(ProgressForm& form, HWND owner);

private:
    void Draw(const std::string& control) override;
    bool QueryClose() override;
    void Tick(UINT_PTR id) override;

    ProgressForm& progress_;
};

} // namespace tarnwick::win32ui
