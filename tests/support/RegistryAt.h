#pragma once
// A registry value through the class, set up as its callers do.
#include "services/cRegistry.h"

#include <string>

namespace tarnwick::test {

inline cRegistry RegistryAt(std::int32_t root, const std::string& section, const std::string& value = "",
                            std::int32_t type = cRegistry::REG_SZ)
{
    cRegistry r;
    r.ClassKey(root);
    r.SectionKey(section);
    r.ValueKey(value);
    r.ValueType(type);
    return r;
}

} // namespace tarnwick::test
