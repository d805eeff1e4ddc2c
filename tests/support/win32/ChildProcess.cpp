#include "support/ChildProcess.h"

#include <gtest/gtest.h>

namespace tarnwick::test {

// Windows has neither fork nor a per-process file-size limit, and a test
// cannot drop its own rights to a stranger's; the cases that need these run
// on POSIX only and are filtered out of the Windows run. Reaching this is a
// mistake in that filter, so it fails loudly rather than pretending.
int RunInChild(const std::function<int()>&, ChildLimits)
{
    ADD_FAILURE() << "RunInChild has no Windows form; filter this case out of the Windows run";
    return -1;
}

// The Windows build is never instrumented.
bool UnderAddressSanitizer()
{
    return false;
}

} // namespace tarnwick::test
