#include "win32ui/WaitCursor.h"

namespace tarnwick::win32ui {

namespace {

// The windows all run on the one thread that made them.
int g_waits = 0;

} // namespace

void WaitCursor::Hold(bool wait)
{
    if (wait)
        ++g_waits;
    else if (g_waits > 0)
        --g_waits;
    ::SetCursor(::LoadCursorW(nullptr, g_waits > 0 ? IDC_WAIT : IDC_ARROW));
}

bool WaitCursor::Held() { return g_waits > 0; }

bool WaitCursor::Apply()
{
    if (!Held())
        return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

} // namespace tarnwick::win32ui
