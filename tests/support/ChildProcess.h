#pragma once
// Runs a piece of a test in a forked child with limits that a test cannot set
// on itself: a file-size limit (SIGXFSZ ignored, so writes fail with EFBIG as
// on a full disk), an ordinary user's rights (the suite may run as root,
// for whom no folder is read-only) or a memory budget.
#include <cstdint>
#include <functional>

namespace tarnwick::test {

struct ChildLimits {
    std::int64_t fileSizeLimit = -1; // bytes; -1 for none
    bool unprivileged = false;       // run as "nobody" when we are root
    // Bytes of address space the child may map beyond what it holds when it
    // starts (RLIMIT_AS); -1 for no limit. AddressSanitizer reserves more
    // than any such limit: tests that set one skip under it.
    std::int64_t memoryBudget = -1;
};

// True in a build under AddressSanitizer, where memory budgets cannot work.
bool UnderAddressSanitizer();

// fn's return value as the child's exit code; -1 when the child died of a
// signal or could not be started, 124 when fn threw (running out of a memory
// budget throws std::bad_alloc).
int RunInChild(const std::function<int()>& fn, ChildLimits limits = {});

} // namespace tarnwick::test
