#include "forms/ControlLayout.h"

namespace tarnwick {

const ControlPlace* FindControl(const WindowLayout& layout, std::string_view name)
{
    for (const ControlPlace& c : layout.controls)
        if (name == c.name)
            return &c;
    return nullptr;
}

} // namespace tarnwick
