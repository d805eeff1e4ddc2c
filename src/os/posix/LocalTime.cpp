#include "os/LocalTime.h"

namespace tarnwick::os {

std::optional<std::tm> LocalTime(std::time_t when)
{
    // The re-entrant form: std::localtime hands out one shared buffer.
    std::tm out{};
    if (::localtime_r(&when, &out) == nullptr)
        return std::nullopt;
    return out;
}

} // namespace tarnwick::os
