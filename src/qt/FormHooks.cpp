#include "qt/FormHooks.h"

namespace tarnwick {

FormHooks::FormHooks(Form& form, std::function<void(const std::string& control)> changed,
                     std::function<void()> close)
    : form_(form)
{
    form_.Changed = std::move(changed);
    form_.CloseWindow = std::move(close);
}

FormHooks::~FormHooks()
{
    form_.Changed = nullptr;
    form_.CloseWindow = nullptr;
}

} // namespace tarnwick
