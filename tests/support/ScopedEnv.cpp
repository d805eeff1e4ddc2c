#include "support/ScopedEnv.h"

#include <cstdlib>

namespace tarnwick::test {

ScopedEnv::~ScopedEnv()
{
    for (auto& [name, value] : saved_) {
        if (value.first)
            setenv(name.c_str(), value.second.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

void ScopedEnv::Remember(const std::string& name)
{
    if (saved_.count(name))
        return;
    const char* old = std::getenv(name.c_str());
    saved_[name] = {old != nullptr, old ? old : ""};
}

void ScopedEnv::Set(const std::string& name, const std::string& value)
{
    Remember(name);
    setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnv::Unset(const std::string& name)
{
    Remember(name);
    unsetenv(name.c_str());
}

} // namespace tarnwick::test
