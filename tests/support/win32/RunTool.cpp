#include <windows.h>

#include "support/RunTool.h"
#include "os/CommandLine.h"
#include "support/TestFiles.h"

namespace tarnwick::test {

namespace {

// One argument quoted so that the C runtime of the started program splits it
// back exactly (the inverse of the CommandLineToArgvW rules).
std::string Quote(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos)
        return arg;
    return tarnwick::os::QuoteWindowsArgument(arg);
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD creation)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, creation,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A console program's text output ends its lines with CR LF on Windows; the
// tests compare lines, so they see LF as on POSIX.
std::string PlainLines(std::string text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

} // namespace

ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                const std::string& workingFolder)
{
    TempDir dir;
    const std::string outPath = dir / "out", errPath = dir / "err";
    std::string line = Quote(program);
    for (const std::string& a : args) {
        line += ' ';
        line += Quote(a);
    }

    ToolRun run;
    std::string harnessFault;
    HANDLE in = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = Inheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = Inheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = in;
        si.hStdOutput = out;
        si.hStdError = err;
        PROCESS_INFORMATION pi{};
        // Under a busy Wine the start itself now and then fails for no
        // reason of the program's; that is the harness's fault, so it tries
        // again and, if it still cannot, says why instead of a bare -1.
        DWORD startError = 0;
        for (int attempt = 0; attempt < 3; ++attempt) {
            std::string mutableLine = line;
            if (::CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 workingFolder.empty() ? nullptr : workingFolder.c_str(), &si, &pi)) {
                startError = 0;
                break;
            }
            startError = ::GetLastError();
            ::Sleep(200);
        }
        if (startError == 0) {
            ::WaitForSingleObject(pi.hProcess, INFINITE);
            DWORD code = 0;
            if (::GetExitCodeProcess(pi.hProcess, &code))
                run.exitCode = static_cast<int>(code);
            ::CloseHandle(pi.hThread);
            ::CloseHandle(pi.hProcess);
        } else {
            harnessFault = "RunTool: cannot start " + program + ": error " + std::to_string(startError) + "\n";
        }
    } else {
        harnessFault = "RunTool: cannot open the standard handles: error " + std::to_string(::GetLastError()) + "\n";
    }
    for (HANDLE h : {in, out, err})
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    run.out = PlainLines(ReadFile(outPath));
    run.err = harnessFault + PlainLines(ReadFile(errPath));
    return run;
}

} // namespace tarnwick::test
