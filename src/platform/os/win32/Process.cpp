#include <windows.h>

#include "platform/os/Process.h"

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

HANDLE TakeStarted(DWORD id)
{
    std::lock_guard<std::mutex> hold(startedLock);
    auto it = Started().find(id);
    if (it == Started().end())
        return nullptr;
    HANDLE h = it->second;
    Started().erase(it);
    return h;
}

} // namespace

std::int64_t StartProcessHidden(const std::string& commandLine)
{
    if (commandLine.empty())
        return 0;
    // CreateProcessA may write into the line it is given.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                          &pi))
        return 0;
    ::CloseHandle(pi.hThread);
    {
        std::lock_guard<std::mutex> hold(startedLock);
        HANDLE& slot = Started()[pi.dwProcessId];
        if (slot)
            ::CloseHandle(slot);
        slot = pi.hProcess;
    }
    return pi.dwProcessId;
}

int WaitForProcess(std::int64_t processId)
{
    if (processId <= 0 || processId > 0xFFFFFFFFll)
        return -1;
    DWORD id = static_cast<DWORD>(processId);
    HANDLE h = TakeStarted(id);
    if (!h)
        h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
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
