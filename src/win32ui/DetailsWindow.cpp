#include "win32ui/DetailsWindow.h"

#include "win32ui/WinText.h"
#include "forms/DetailsForm.h"

namespace tarnwick::win32ui {

DetailsWindow::DetailsWindow(DetailsForm& form, HWND owner) : FormWindow(form), details_(form)
{
    Create(DetailsForm::Layout(), WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, owner, Centre::OnOwner);
    // OK is neither default nor cancel: Esc leaves the window open.
    ok_ = [this] { details_.cmdOK_Click(); };
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

} // namespace tarnwick::win32ui
