#pragma once
// A moment as the clock on the wall shows it, in the user's time zone.
#include <ctime>
#include <optional>

namespace tarnwick::os {

// Nothing when the system cannot place the moment (before its epoch, past
// its calendar).
std::optional<std::tm> LocalTime(std::time_t when);

} // namespace tarnwick::os
