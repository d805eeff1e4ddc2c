#include "support/ChildProcess.h"

#include <csignal>
#include <fstream>
#include <string>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {

// The process's mapped address space in bytes, from /proc; -1 if unknown.
std::int64_t VmSize()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmSize:") {
            std::int64_t kib = -1;
            status >> kib;
            return kib < 0 ? -1 : kib * 1024;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

} // namespace

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
        if (limits.addressSpaceGrowth >= 0) {
            const std::int64_t now = VmSize();
            struct rlimit rl;
            rl.rlim_cur = rl.rlim_max = static_cast<rlim_t>(now + limits.addressSpaceGrowth);
            if (now < 0 || ::setrlimit(RLIMIT_AS, &rl) != 0)
                ::_exit(124);
        }
        if (limits.unprivileged && ::geteuid() == 0) {
            const gid_t nogroup = 65534;
            if (::setgroups(1, &nogroup) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(126);
        }
        code = fn();
        // _exit: the child must not run the parent's exit handlers or tests.
        ::_exit(code);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace tarnwick::test
