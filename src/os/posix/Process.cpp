#include "os/Process.h"
#include "os/CommandLine.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarnwick::os {

namespace {

// The reading end of each caught standard error, by process id.
std::mutex caughtLock;
std::map<pid_t, int>& Caught()
{
    static std::map<pid_t, int> caught;
    return caught;
}

int TakeCaught(pid_t id)
{
    std::lock_guard<std::mutex> hold(caughtLock);
    auto it = Caught().find(id);
    if (it == Caught().end())
        return -1;
    const int fd = it->second;
    Caught().erase(it);
    return fd;
}

void Keep(std::string* errors, const char* data, std::size_t n)
{
    if (errors && errors->size() < kCaughtErrorBytes)
        errors->append(data, std::min(n, kCaughtErrorBytes - errors->size()));
}

// Reads the pipe until it closes. A child that hands its standard error to
// a process of its own that lives on would keep the pipe open for ever: once
// the child itself has ended, what is there is taken and the rest left.
void Drain(int fd, pid_t id, std::string* errors, int& status, bool& reaped)
{
    char buffer[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, reaped ? 0 : 100);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return;
            Keep(errors, buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (reaped)
            return; // nothing more to read now, and the child is gone
        const pid_t r = ::waitpid(id, &status, WNOHANG);
        if (r == id)
            reaped = true;
        else if (r < 0 && errno != EINTR)
            return;
    }
}

} // namespace

std::int64_t StartProcessHidden(const std::string& commandLine, bool catchErrors)
{
    std::vector<std::string> args = SplitWindowsCommandLine(commandLine);
    if (args.empty() || args[0].empty())
        return 0;
    // An unquoted program path may hold blanks: as CreateProcess does, try
    // the line up to each blank in turn and run the first that is a program.
    // The child still gets the arguments cut at the blanks, as on Windows.
    std::string program = args[0];
    if (commandLine[0] != '"') {
        const std::size_t quote = commandLine.find('"');
        for (std::size_t blank = commandLine.find_first_of(" \t"); blank < quote;
             blank = commandLine.find_first_of(" \t", blank + 1)) {
            std::string candidate = commandLine.substr(0, blank);
            struct stat st;
            if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                ::access(candidate.c_str(), X_OK) == 0) {
                program = std::move(candidate);
                break;
            }
        }
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (catchErrors && ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return 0;

    // "Hidden" on POSIX: the child gets no terminal input of ours.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (catchErrors)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);

    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (catchErrors)
        ::close(pipeEnds[1]);
    if (rc != 0) {
        if (catchErrors)
            ::close(pipeEnds[0]);
        return 0;
    }
    if (catchErrors) {
        std::lock_guard<std::mutex> hold(caughtLock);
        Caught()[pid] = pipeEnds[0];
    }
    return pid;
}

int WaitForProcess(std::int64_t processId, std::string* errors)
{
    if (processId <= 0)
        return -1;
    const auto id = static_cast<pid_t>(processId);
    int status = 0;
    bool reaped = false;
    if (const int fd = TakeCaught(id); fd >= 0) {
        Drain(fd, id, errors, status, reaped);
        ::close(fd);
    }
    if (!reaped) {
        pid_t r;
        do {
            r = ::waitpid(id, &status, 0);
        } while (r < 0 && errno == EINTR);
        if (r < 0)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    // Killed: 128 + the signal, as shells report it, so that a crash reads
    // as a failure (on Windows a crashed process has a nonzero code too).
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace tarnwick::os
