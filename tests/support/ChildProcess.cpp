#include "support/ChildProcess.h"

#include <csignal>
#include <cstdio>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {
// Address space the process maps now, from /proc/self/statm (in pages).
std::int64_t MappedBytes()
{
    long pages = -1;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1)
            pages = -1;
        std::fclose(f);
    }
    return pages < 0 ? -1 : static_cast<std::int64_t>(pages) * ::sysconf(_SC_PAGESIZE);
}
} // namespace

bool UnderAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

int RunInChild(const std::function<int()>& fn, ChildLimits limits)
{
    pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        int code = 0;
        if (limits.fileSizeLimit >= 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit rl;
            rl.rlim_cur = rl.rlim_max = static_cast<rlim_t>(limits.fileSizeLimit);
            if (::setrlimit(RLIMIT_FSIZE, &rl) != 0)
                ::_exit(125);
        }
        if (limits.unprivileged && ::geteuid() == 0) {
            const gid_t nogroup = 65534;
            if (::setgroups(1, &nogroup) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(126);
        }
        if (limits.memoryBudget >= 0) {
            const std::int64_t now = MappedBytes();
            struct rlimit rl;
            rl.rlim_cur = rl.rlim_max = static_cast<rlim_t>(now + limits.memoryBudget);
            if (now < 0 || ::setrlimit(RLIMIT_AS, &rl) != 0)
                ::_exit(125);
        }
        // An exception must not climb back into the test that forked: the
        // child would run the rest of the suite as a second copy.
        try {
            code = fn();
        } catch (...) {
            code = 124;
        }
        // _exit: the child must not run the parent's exit handlers or tests.
        ::_exit(code);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace tarnwick::test
