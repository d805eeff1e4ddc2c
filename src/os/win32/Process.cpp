#include <windows.h>

#include "os/Process.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace tarnwick::os {

namespace {

// The handle CreateProcess gave us stays open until the wait: while it is
// open the process object (and its exit code) survives, and its id cannot be
// handed to some other process in between. Without it, a quick extractor
// could end before OpenProcess, and the id might already name a stranger.
std::mutex startedLock;
std::map<DWORD, HANDLE>& Started()
{
    static std::map<DWORD, HANDLE> started;
    return started;
}

// The reading end of each caught standard error, by process id.
std::map<DWORD, HANDLE>& Caught()
{
    static std::map<DWORD, HANDLE> caught;
    return caught;
}

HANDLE Take(std::map<DWORD, HANDLE>& from, DWORD id)
{
    std::lock_guard<std::mutex> hold(startedLock);
    auto it = from.find(id);
    if (it == from.end())
        return nullptr;
    HANDLE h = it->second;
    from.erase(it);
    return h;
}

// Reads the pipe until it closes or, should a process of the child's own
// keep it open, until the child has ended and nothing more is waiting.
void Drain(HANDLE pipe, HANDLE process, std::string* errors)
{
    char buffer[4096];
    bool ended = false;
    for (;;) {
        DWORD waiting = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr))
            return; // closed: the child and all it started are done with it
        if (waiting == 0) {
            if (ended)
                return;
            if (!process)
                ::Sleep(50);
            else
                ended = ::WaitForSingleObject(process, 50) == WAIT_OBJECT_0;
            continue;
        }
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0)
            return;
        if (errors && errors->size() < kCaughtErrorBytes)
            errors->append(buffer, std::min<std::size_t>(got, kCaughtErrorBytes - errors->size()));
    }
}

HANDLE TakeStarted(DWORD id)
{
    return Take(Started(), id);
}

} // namespace

std::int64_t StartProcessHidden(const std::string& commandLine, bool catchErrors)
{
    if (commandLine.empty())
        return 0;
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (catchErrors) {
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0))
            return 0;
        // Only the writing end goes to the child.
        ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    }
    // CreateProcessA may write into the line it is given.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    if (catchErrors) {
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = nullptr;
        si.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = writeEnd;
    }
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, catchErrors ? TRUE : FALSE,
                                          CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    if (writeEnd)
        ::CloseHandle(writeEnd);
    if (!started) {
        if (readEnd)
            ::CloseHandle(readEnd);
        return 0;
    }
    ::CloseHandle(pi.hThread);
    {
        std::lock_guard<std::mutex> hold(startedLock);
        if (readEnd) {
            HANDLE& pipe = Caught()[pi.dwProcessId];
            if (pipe)
                ::CloseHandle(pipe);
            pipe = readEnd;
        }
        HANDLE& slot = Started()[pi.dwProcessId];
        if (slot)
            ::CloseHandle(slot);
        slot = pi.hProcess;
    }
    return pi.dwProcessId;
}

int WaitForProcess(std::int64_t processId, std::string* errors)
{
    if (processId <= 0 || processId > 0xFFFFFFFFll)
        return -1;
    DWORD id = static_cast<DWORD>(processId);
    HANDLE h = TakeStarted(id);
    if (!h)
        h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (HANDLE pipe = Take(Caught(), id)) {
        Drain(pipe, h, errors);
        ::CloseHandle(pipe);
    }
    if (!h)
        return -1;
    int result = -1;
    if (::WaitForSingleObject(h, INFINITE) == WAIT_OBJECT_0) {
        DWORD code = 0;
        if (::GetExitCodeProcess(h, &code) && code != STILL_ACTIVE)
            result = static_cast<int>(code);
    }
    ::CloseHandle(h);
    return result;
}

} // namespace tarnwick::os
