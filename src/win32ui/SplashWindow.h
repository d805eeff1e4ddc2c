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
    ~SplashWindow() override;

private:
    void Draw(const std::string& control) override;
    void Tick(UINT_PTR id) override;
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp) override;

    // The part of the picture under the version, drawn before its letters.
    void DrawPictureUnder(HWND label, HDC dc) const;

    SplashForm& splash_;
    HFONT versionFont_ = nullptr; // bold
};

} // namespace tarnwick::win32ui
