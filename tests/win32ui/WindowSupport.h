#pragma once
// For the Win32 windows' tests and screenshots: acting on a control as the
// user would, letting the queue run.
#include <windows.h>

#include <string>

namespace tarnwick::test {

// A notification from `control` to the window that handles it (its page hands it on).
inline void Notify(HWND control, int code)
{
    ::SendMessageW(::GetParent(control), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(control), static_cast<WORD>(code)), reinterpret_cast<LPARAM>(control));
}

// A test folder's path as the Windows form spells paths.
inline std::string Backslashed(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Lets the window's queue run (timers, posted messages) for a while.
inline void Pump(int milliseconds)
{
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() < end);
}

} // namespace tarnwick::test
