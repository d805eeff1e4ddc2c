#include "platform/win32ui/DetailsWindow.h"

#include "platform/win32ui/WinText.h"
#include "volume/DetailsForm.h"

namespace tarnwick::win32ui {

DetailsWindow::DetailsWindow(DetailsForm& form, HWND owner) : FormWindow(form), details_(form)
{
    Create(DetailsForm::Layout(), WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, owner);
    Draw("");
}

void DetailsWindow::Draw(const std::string&)
{
    if (!hwnd_)
        return;
    // The name is as the disk spells it; the rest is the form's UTF-8.
    SetText(Control("labName"), details_.labName);
    const std::pair<const char*, const std::string*> values[] = {
        {"labSize", &details_.labSize}, {"labDate", &details_.labDate}, {"labFileCount", &details_.labFileCount},
        {"labPVOL", &details_.labPVOL}, {"labVOLS", &details_.labVOLS}, {"labVOLI", &details_.labVOLI}};
    for (const auto& [name, text] : values)
        SetText(Control(name), *text, CP_UTF8);
}

void DetailsWindow::Command(const std::string& name, int code, HWND)
{
    if (name == "cmdOK" && code == BN_CLICKED)
        details_.cmdOK_Click();
}

LRESULT DetailsWindow::Message(UINT msg, WPARAM wp, LPARAM lp)
{
    // Enter and Esc are the OK button's, as in a dialog.
    if (msg == WM_COMMAND && lp == 0 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        details_.cmdOK_Click();
        return 0;
    }
    return FormWindow::Message(msg, wp, lp);
}

} // namespace tarnwick::win32ui
