#pragma once
// The "Volume Details" window over its form.
#include "win32ui/FormWindow.h"

namespace tarnwick {
class DetailsForm;
}

namespace tarnwick::win32ui {

class DetailsWindow : public FormWindow {
public:
    DetailsWindow(DetailsForm& form, HWND owner);

private:
    void Draw(const std::string& control) override;

    DetailsForm& details_;
};

} // namespace tarnwick::win32ui
