#include "support/ChildProcess.h"

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick::test {

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
