#pragma once
// Runs a piece of a test in a forked child with limits that a test cannot set
// on itself: a memory limit, a file-size limit (SIGXFSZ ignored, so writes fail with EFBIG as
// on a full disk) or an ordinary user's rights (the suite may run as root,
// for whom no folder is read-only).
#include <cstdint>
#include <functional>

namespace tarnwick::test {

struct ChildLimits {
    std::int64_t fileSizeLimit = -1; // bytes; -1 for none
    bool unprivileged = false;       // run as "nobody" when we are root
    // Address space the child may grow by beyond what it has when it
    // starts (RLIMIT_AS, counted from its VmSize); -1 for no limit.
    std::int64_t addressSpaceGrowth = -1;
};

// fn's return value as the child's exit code; -1 when the child died of a
// signal or could not be started.
int RunInChild(const std::function<int()>& fn, ChildLimits limits = {});

} // namespace tarnwick::test
