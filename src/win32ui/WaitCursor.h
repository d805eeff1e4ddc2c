#pragma once
// The hourglass over every window of the program while any part of it
// waits: each window asks here on WM_SETCURSOR, so a pointer moved while
// messages are pumped (the progress window's first 300 ms, a listing) does
// not bring the arrow back.
#include <windows.h>

namespace tarnwick::win32ui {

class WaitCursor {
public:
    // Calls nest; the hourglass stays until each wait has ended.
    static void Hold(bool wait);
    static bool Held();
    // For WM_SETCURSOR: shows the hourglass and says true while a wait is
    // held; false leaves the window's own pointer to the system.
    static bool Apply();
};

} // namespace tarnwick::win32ui
