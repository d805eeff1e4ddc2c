#pragma once
// The user's base folders as the XDG rules give them: the variable when it
// holds an absolute path, else the default below $HOME; empty without either.
#include <cstdlib>
#include <string>

namespace tarnwick::os {

inline std::string XdgFolder(const char* variable, const char* underHome)
{
    if (const char* x = std::getenv(variable); x && *x == '/')
        return x;
    if (const char* h = std::getenv("HOME"); h && *h)
        return std::string(h) + underHome;
    return {};
}

} // namespace tarnwick::os
