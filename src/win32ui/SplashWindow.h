#pragma once
// The splash window over its form: the picture, the version over it, and
// the form's timer that closes it.
#include "win32ui/FormWindow.h"

namespace tarnwick {
class SplashForm;
}

namespace tarnwick::win32ui {

class SplashWindow : public FormWindow {
public:
    SplashWindow(SplashForm& form, HWND owner);

private:
    void Draw(const std::string& control) override;
    void Tick(UINT_PTR id) override;
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp) override;

    SplashForm& splash_;
};

} // namespace tarnwick::win32ui
