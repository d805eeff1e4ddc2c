#include "win32ui/AboutWindow.h"

#include "forms/AboutForm.h"
#include "win32ui/Artwork.h"
#include "win32ui/WinText.h"

namespace tarnwick::win32ui {

AboutWindow::AboutWindow(AboutForm& form, HWND owner) : FormWindow(form), about_(form)
{
    Create(AboutForm::Layout(), WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, owner, Centre::OnOwner,
           [](const ControlPlace& c, HWND parent, const RECT& r, int id) -> HWND {
               return c.kind == ControlKind::Picture ? MakeIconPicture(parent, r, id) : nullptr;
           });
    // OK is both the default and the cancel button: Enter and Esc close.
    ok_ = [this] { about_.cmdOK_Click(); };
    okIsDefault_ = okIsCancel_ = true;
    Draw("");
}

void AboutWindow::Draw(const std::string&)
{
    if (!hwnd_)
        return;
    const std::pair<const char*, const std::string*> texts[] = {{"labName", &about_.labName},
                                                                {"labVersion", &about_.labVersion},
                                                                {"labCompany", &about_.labCompany},
                                                                {"labDesc", &about_.labDesc}};
    for (const auto& [name, text] : texts)
        SetText(Control(name), *text, CP_UTF8);
}

} // namespace tarnwick::win32ui
