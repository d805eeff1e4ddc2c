#pragma once
// The About window over its form.
#include "win32ui/FormWindow.h"

namespace tarnwick {
class AboutForm;
}

namespace tarnwick::win32ui {

class AboutWindow : public FormWindow {
public:
    AboutWindow(AboutForm& form, HWND owner);

private:
    void Draw(const std::string& control) override;

    AboutForm& about_;
};

} // namespace tarnwick::win32ui
