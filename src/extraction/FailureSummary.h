#pragma once
// The one box the Extract command shows after a job in which more than one
// name failed: the progress window has shown only the first error.
#include "os/PathStyle.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tarnwick {

// How many of the failed names the box lists before it only counts.
inline constexpr std::size_t kSummaryNames = 10;

// "" when at most one name failed; otherwise how many of `handled` failed
// and which (the first kSummaryNames, then how many more), each name as
// display text.
std::string FailureSummary(const std::vector<std::string>& failedNames, std::size_t handled, PathStyle style);

} // namespace tarnwick
