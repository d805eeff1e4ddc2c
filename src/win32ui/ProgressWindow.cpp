#include "win32ui/ProgressWindow.h"

#include "forms/ProgressForm.h"
#include "win32ui/WinText.h"

#include <commctrl.h>


namespace tarnwick::win32ui {

ProgressWindow::ProgressWindow(ProgressForm& form, HWND owner) : FormWindow(form), progress_(form)
{
    Create(ProgressForm::Layout(), WS_POPUP | WS_DLGFRAME, WS_EX_DLGMODALFRAME, owner, Centre::OnOwner);
    progress_.Form_Load();
    Draw("");
}

void ProgressWindow::Draw(const std::string& control)
{
    FollowTimer(1, progress_.timProcess);
    if (!hwnd_ || control == "timProcess")
        return;
    SetText(Control("lab"), progress_.lab, CP_UTF8);
    SetText(Control("labFile"), progress_.labFile, CP_UTF8);
    ::SendMessageW(Control("pbrProgress"), PBM_SETPOS, static_cast<WPARAM>(progress_.pbrProgress), 0);
    SetText(Control("labProgress"), progress_.labProgress, CP_UTF8);
    // The job holds the thread: only a forced paint shows the change.
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool ProgressWindow::QueryClose()
{
    bool cancel = false;
    progress_.Form_QueryUnload(cancel);
    return !cancel;
}

void ProgressWindow::Tick(UINT_PTR) { progress_.timProcess_Timer(); }

} // namespace tarnwick::win32ui
