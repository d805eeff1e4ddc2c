#pragma once
// Ties a form to its Qt window for as long as the window lives: the form's
// Changed and CloseWindow call the window, and are cleared when the window
// goes, since the form may outlive it (a job still reporting, a form shown
// again).
#include "forms/Form.h"

#include <functional>
#include <string>

namespace tarnwick {

class FormHooks {
public:
    FormHooks(Form& form, std::function<void(const std::string& control)> changed, std::function<void()> close);
    ~FormHooks();
    FormHooks(const FormHooks&) = delete;
    FormHooks& operator=(const FormHooks&) = delete;

private:
    Form& form_;
};

} // namespace tarnwick
