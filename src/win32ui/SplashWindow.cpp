#include "win32ui/SplashWindow.h"

#include "forms/SplashForm.h"
#include "win32ui/Artwork.h"
#include "win32ui/WinText.h"

namespace tarnwick::win32ui {

namespace {

// The colour at the top of the splash picture, behind the version.
constexpr COLORREF kSky = RGB(14, 22, 44);

} // namespace

SplashWindow::SplashWindow(SplashForm& form, HWND owner) : FormWindow(form), splash_(form)
{
    Create(SplashForm::Layout(), WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, owner, Centre::OnScreen,
           [](const ControlPlace& c, HWND parent, const RECT& r, int id) -> HWND {
               return c.kind == ControlKind::Picture ? MakeSplashPicture(parent, r, id) : nullptr;
           });
    // The version is drawn over the picture: the picture leaves its place.
    HWND picture = Control("imgSplash");
    ::SetWindowLongPtrW(picture, GWL_STYLE, ::GetWindowLongPtrW(picture, GWL_STYLE) | WS_CLIPSIBLINGS);
    ::SetWindowPos(Control("labVersion"), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Draw("");
}

void SplashWindow::Draw(const std::string& control)
{
    FollowTimer(1, splash_.timRelease);
    if (!hwnd_ || control == "timRelease")
        return;
    SetText(Control("labVersion"), splash_.labVersion, CP_UTF8);
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void SplashWindow::Tick(UINT_PTR) { splash_.timRelease_Timer(); }

LRESULT SplashWindow::Message(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lp) == Control("labVersion")) {
        // Light text on the night sky of the picture's top.
        HDC dc = reinterpret_cast<HDC>(wp);
        ::SetTextColor(dc, RGB(232, 236, 244));
        ::SetBkColor(dc, kSky);
        ::SetDCBrushColor(dc, kSky);
        return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
    }
    return FormWindow::Message(msg, wp, lp);
}

} // namespace tarnwick::win32ui
