#include "platform/os/Process.h"
#include "platform/os/CommandLine.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarnwick::os {

std::int64_t StartProcessHidden(const std::string& commandLine)
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

    // "Hidden" on POSIX: the child gets no terminal input of ours.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return 0;
    return pid;
}

int WaitForProcess(std::int64_t processId)
{
    if (processId <= 0)
        return -1;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(static_cast<pid_t>(processId), &status, 0);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    // Killed: 128 + the signal, as shells report it, so that a crash reads
    // as a failure (on Windows a crashed process has a nonzero code too).
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace tarnwick::os
