#include "support/RunTool.h"
#include "support/TestFiles.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <termios.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarnwick::test {

namespace {
// The program's argument vector, pointing into `program` and `args`.
std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Waits for the child (none when pid is not one) and gathers what it said.
ToolRun Finished(pid_t pid, const std::string& outPath, const std::string& errPath)
{
    ToolRun run;
    if (pid > 0) {
        int status = 0;
        struct rusage usage {};
        while (wait4(pid, &status, 0, &usage) < 0) {
        }
        if (WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
        run.peakMemoryKb = usage.ru_maxrss;
    }
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}
} // namespace

ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                const std::string& workingFolder)
{
    TempDir dir;
    const std::string outPath = dir / "out", errPath = dir / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    std::vector<char*> argv = Argv(program, args);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return Finished(pid, outPath, errPath);
}

ToolRun RunToolWithin(std::int64_t addressSpace, const std::string& program, const std::vector<std::string>& args)
{
    TempDir dir;
    const std::string outPath = dir / "out", errPath = dir / "err";
    std::vector<char*> argv = Argv(program, args);
    // posix_spawn cannot set a limit on the child alone: fork, and only
    // async-signal-safe calls until exec.
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        struct rlimit rl;
        rl.rlim_cur = rl.rlim_max = static_cast<rlim_t>(addressSpace);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
            ::setrlimit(RLIMIT_AS, &rl) != 0)
            ::_exit(127);
        ::execve(program.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    return Finished(pid, outPath, errPath);
}

ToolRun RunToolOnTerminal(const std::string& program, const std::vector<std::string>& args)
{
    ToolRun run;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        if (master >= 0)
            ::close(master);
        return run;
    }
    const char* slaveName = ::ptsname(master);
    const int slave = slaveName ? ::open(slaveName, O_RDWR | O_NOCTTY) : -1;
    if (slave < 0) {
        ::close(master);
        return run;
    }
    // Raw: what arrives is what the program wrote, no "\r\n" for "\n".
    termios mode{};
    if (::tcgetattr(slave, &mode) == 0) {
        ::cfmakeraw(&mode);
        ::tcsetattr(slave, TCSANOW, &mode);
    }

    TempDir dir;
    const std::string errPath = dir / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, slave, 1);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addclose(&actions, master);
    posix_spawn_file_actions_addclose(&actions, slave);
    std::vector<char*> argv = Argv(program, args);
    pid_t pid = 0;
    const bool started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(slave);
    if (started) {
        // Read while it runs: a terminal holds only a few kilobytes. The
        // read fails (EIO) once the program has closed its end.
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                run.out.append(buffer, static_cast<std::size_t>(n));
            else if (n < 0 && errno == EINTR)
                continue;
            else
                break;
        }
        int status = 0;
        while (waitpid(pid, &status, 0) < 0) {
        }
        if (WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
    }
    ::close(master);
    run.err = ReadFile(errPath);
    return run;
}

} // namespace tarnwick::test
