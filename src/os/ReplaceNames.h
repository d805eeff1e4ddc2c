#pragma once
// The hidden names beside an output file while it is replaced: the new
// bytes are written to a temporary file and renamed over the output; the
// user's earlier copy is moved aside until the new file stands. Both names
// follow from the output's own name, so that a run killed half-way leaves
// files the next run for that output can recognise, and both are short, so
// that an output whose name is as long as the disk allows can still be
// written and replaced.
#include "os/PathStyle.h"

#include <string>
#include <string_view>

namespace tarnwick {

// Where the new bytes for `outputPath` are written before they take its place.
std::string ReplaceTempName(const std::string& outputPath, PathStyle style);
// Where the earlier file at `outputPath` waits while it is replaced.
std::string ReplaceKeepName(const std::string& outputPath, PathStyle style);
// Whether a file name has the form of those two hidden names (compared
// without regard to case, as a Windows disk would), whatever output it
// would belong to: a file of that name is the replacing's own, so a volume
// must not plant one.
bool IsReplaceName(std::string_view fileName);

} // namespace tarnwick
