// Runs a program and tells the largest resident set it reached, as the
// first line of standard error: "peak_kb N". A bench cannot read that of
// its own child: the child is charged the pages it shared with the bench
// before it started its program. Started from here, it shares a few pages
// of this small program only.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 125;
    const pid_t pid = fork();
    if (pid < 0)
        return 125;
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0) {
    }
    std::fprintf(stderr, "peak_kb %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 126;
}
