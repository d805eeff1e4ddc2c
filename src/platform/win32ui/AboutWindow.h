#pragma once
// The About window over its form.
#include "platform/win32ui/FormWindow.h"

namespace tarnwick {
class AboutForm;
}

namespace tarnwick::win32ui {

class AboutWindow : public FormWindow {
public:
    AboutWindow(AboutForm& form, HWND owner);

private:
    void Draw(const std::string& control) override;
    void Command(const std::string& name, int code, HWND control) override;
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp) override;

    AboutForm& about_;
};

} // namespace tarnwick::win32ui
