#pragma once
// Environment variables set for the length of a test, put back after.
#include <map>
#include <string>

namespace tarnwick::test {

class ScopedEnv {
public:
    ScopedEnv() = default;
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const std::string& name, const std::string& value);
    void Unset(const std::string& name);

private:
    void Remember(const std::string& name);
    std::map<std::string, std::pair<bool, std::string>> saved_;
};

} // namespace tarnwick::test
