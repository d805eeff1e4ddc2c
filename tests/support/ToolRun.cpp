#include "support/ToolRun.h"
#include "support/TestFiles.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include <cstdlib>
#endif

namespace tarnwick::test {

#ifndef _WIN32
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingFolder)
{
    TempDir capture;
    const std::string outPath = capture / "out";
    const std::string errPath = capture / "err";
    ToolResult result;

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid < 0)
        return result;
    if (pid == 0) {
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(127);
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0)
            ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return result;
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}
#else
// Windows: through the command interpreter, each argument quoted.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingFolder)
{
    TempDir capture;
    std::string line = "\"";
    if (!workingFolder.empty())
        line += "cd /d \"" + workingFolder + "\" && ";
    line += "\"" + program + "\"";
    for (const std::string& a : args)
        line += " \"" + a + "\"";
    line += " >\"" + (capture / "out") + "\" 2>\"" + (capture / "err") + "\"\"";
    ToolResult result;
    result.exitCode = std::system(line.c_str());
    result.out = ReadFile(capture / "out");
    result.err = ReadFile(capture / "err");
    return result;
}
#endif

} // namespace tarnwick::test
