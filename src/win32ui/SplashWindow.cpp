#include "win32ui/SplashWindow.h"

#include "forms/SplashForm.h"
#include "win32ui/Artwork.h"
#include "win32ui/WinText.h"

namespace tarnwick::win32ui {

SplashWindow::SplashWindow(SplashForm& form, HWND owner) : FormWindow(form), splash_(form)
{
    Create(SplashForm::Layout(), WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, owner, Centre::OnScreen,
           [](const ControlPlace& c, HWND parent, const RECT& r, int id) -> HWND {
               return c.kind == ControlKind::Picture ? MakeSplashPicture(parent, r, id) : nullptr;
           });
    // The version is drawn over the picture: the picture leaves its place.
    HWND picture = Control("imgSplash");
    ::SetWindowLongPtrW(picture, GWL_STYLE, ::GetWindowLongPtrW(picture, GWL_STYLE) | WS_CLIPSIBLINGS);
    HWND version = Control("labVersion");
    ::SetWindowPos(version, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    versionFont_ = LayoutControls::MakeFont(controls_->Dpi(), true, false);
    ::SendMessageW(version, WM_SETFONT, reinterpret_cast<WPARAM>(versionFont_), FALSE);
    Draw("");
}

SplashWindow::~SplashWindow()
{
    // The label goes before its font.
    Destroy();
    ::DeleteObject(versionFont_);
}

void SplashWindow::DrawPictureUnder(HWND label, HDC dc) const
{
    HWND picture = Control("imgSplash");
    const auto bitmap = reinterpret_cast<HBITMAP>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!bitmap)
        return;
    RECT r;
    ::GetClientRect(label, &r);
    POINT at{0, 0};
    ::MapWindowPoints(label, picture, &at, 1);
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(source, bitmap);
    ::BitBlt(dc, 0, 0, r.right, r.bottom, source, at.x, at.y, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
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
        // White letters straight on the picture: the label's place shows
        // the picture, its own brush paints nothing.
        HDC dc = reinterpret_cast<HDC>(wp);
        DrawPictureUnder(reinterpret_cast<HWND>(lp), dc);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    }
    return FormWindow::Message(msg, wp, lp);
}

} // namespace tarnwick::win32ui
