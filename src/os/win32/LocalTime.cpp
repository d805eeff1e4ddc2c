#include "os/LocalTime.h"

#include <time.h>

namespace tarnwick::os {

std::optional<std::tm> LocalTime(std::time_t when)
{
    // The CRT's own checked form: it refuses negative times instead of
    // handing back a shared buffer or garbage.
    std::tm out{};
    if (::localtime_s(&out, &when) != 0)
        return std::nullopt;
    return out;
}

} // namespace tarnwick::os
