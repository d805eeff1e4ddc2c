#include <windows.h>

#include "os/Instance.h"
#include "os/PathStyle.h"
#include "os/TextCase.h"

namespace tarnwick::os {

namespace {

// A named mutex in the session's namespace, named after the lock file's
// path so that a lock kept in another folder is another lock. Backslashes
// are not allowed in the name after the namespace.
std::string MutexName(const std::string& lockPath)
{
    std::string name = "Local\\";
    for (char c : lockPath) {
        const char lower = FoldCase(c);
        name += (lower == '\\' || lower == '/' || lower == ':') ? '_' : lower;
    }
    return name.substr(0, MAX_PATH - 1);
}

std::string DefaultFolder()
{
    char buf[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof buf, buf);
    if (n == 0 || n > MAX_PATH)
        return {};
    std::string dir(buf, n);
    while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    return dir;
}

} // namespace

InstanceLock::InstanceLock(const std::string& name, const std::string& folder)
{
    std::string dir = folder.empty() ? DefaultFolder() : folder;
    if (dir.empty())
        return;
    path_ = JoinPath(dir, name + ".lock", PathStyle::Windows);
    HANDLE m = ::CreateMutexA(nullptr, FALSE, MutexName(path_).c_str());
    if (!m)
        return;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        // Someone holds it (perhaps this very process). Our handle would keep
        // the mutex alive after the holder ends, so let it go at once.
        ::CloseHandle(m);
        handle_ = 0;
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(m);
    acquired_ = true;
}

InstanceLock::~InstanceLock()
{
    if (acquired_ && handle_ > 0)
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

} // namespace tarnwick::os
