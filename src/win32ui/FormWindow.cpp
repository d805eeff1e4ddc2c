#include "win32ui/FormWindow.h"

#include "win32ui/WaitCursor.h"

#include <commctrl.h>

#include <algorithm>

namespace tarnwick::win32ui {

namespace {

constexpr const wchar_t* kWindowClass = L"TarnwickForm";
constexpr const wchar_t* kPageClass = L"TarnwickPage";

LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CONTEXTMENU:
        return ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    default:
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}

void RegisterClasses(WNDPROC windowProc)
{
    static const bool registered = [windowProc] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        // The program's icon, when the program carries one (tests do not).
        wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        wc.lpfnWndProc = windowProc;
        wc.lpszClassName = kWindowClass;
        ::RegisterClassExW(&wc);
        wc.hIcon = nullptr;
        wc.lpfnWndProc = PageProc;
        wc.lpszClassName = kPageClass;
        ::RegisterClassExW(&wc);
        return true;
    }();
    (void)registered;
}

} // namespace

const wchar_t* FormWindow::PageClass() { return kPageClass; }

FormWindow::FormWindow(Form& form) : form_(form) {}

FormWindow::~FormWindow()
{
    form_.Changed = nullptr;
    form_.CloseWindow = nullptr;
    Destroy();
}

void FormWindow::Create(const WindowLayout& layout, DWORD style, DWORD exStyle, HWND owner, Centre centre,
                        const LayoutControls::MakeCustom& custom)
{
    RegisterClasses(Proc);
    hwnd_ = ::CreateWindowExW(exStyle, kWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner,
                              nullptr, ::GetModuleHandleW(nullptr), this);
    controls_ = std::make_unique<LayoutControls>(hwnd_, layout, custom);
    PlaceCentred(centre == Centre::OnOwner ? owner : nullptr);
    FollowTabOrder();
    form_.Changed = [this](const std::string& control) { Draw(control); };
    form_.CloseWindow = [this] { Destroy(); };
}

void FormWindow::PlaceCentred(HWND over)
{
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (over)
        ::GetWindowRect(over, &area);
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    int x = (area.left + area.right - w) / 2, y = (area.top + area.bottom - h) / 2;
    // Over an owner near the screen's edge the window still opens whole.
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    if (over && ::GetMonitorInfoW(::MonitorFromWindow(over, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max<int>(work.left, std::min<int>(x, work.right - w));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    }
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::FollowTabOrder()
{
    for (HWND control : controls_->TabOrder())
        ::SetWindowSubclass(control, TabStopProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

bool FormWindow::TakesFocus(HWND control) { return ::IsWindowVisible(control) && ::IsWindowEnabled(control); }

void FormWindow::MoveFocus(HWND from, bool back)
{
    const std::vector<HWND>& order = controls_->TabOrder();
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end())
        return;
    const std::size_t n = order.size(), start = static_cast<std::size_t>(at - order.begin());
    for (std::size_t step = 1; step < n; ++step) {
        HWND next = order[(back ? start + n - step : start + step) % n];
        if (TakesFocus(next)) {
            ::SetFocus(next);
            // An edit box entered by Tab shows its whole text chosen, as a dialog's does.
            if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                ::SendMessageW(next, EM_SETSEL, 0, -1);
            return;
        }
    }
}

HWND FormWindow::FocusOnActivation() const
{
    if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsChild(hwnd_, lastFocus_) && TakesFocus(lastFocus_))
        return lastFocus_;
    for (HWND control : controls_->TabOrder())
        if (TakesFocus(control))
            return control;
    return nullptr;
}

LRESULT CALLBACK FormWindow::TabStopProc(HWND control, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self)
{
    switch (msg) {
    case WM_GETDLGCODE:
        // Keeps IsDialogMessage from moving the focus by its own order.
        return ::DefSubclassProc(control, msg, wp, lp) | DLGC_WANTTAB;
    case WM_KEYDOWN:
        if (wp == VK_TAB) {
            reinterpret_cast<FormWindow*>(self)->MoveFocus(control, ::GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == L'\t')
            return 0;
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(control, TabStopProc, 0);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(control, msg, wp, lp);
}

void FormWindow::Destroy()
{
    if (!hwnd_)
        return;
    HWND gone = hwnd_;
    hwnd_ = nullptr;
    ::DestroyWindow(gone);
}

void FormWindow::RunModal(HWND owner)
{
    if (!hwnd_)
        return;
    if (owner)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
    MSG msg;
    bool quit = false;
    while (hwnd_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (!hwnd_ || !::IsDialogMessageW(hwnd_, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    // The program's own loop must see the request to end as well.
    if (quit)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
}

void FormWindow::FollowTimer(UINT_PTR id, const TimerControl& timer)
{
    if (!hwnd_)
        return;
    if (timer.Enabled && timer.Interval > 0)
        ::SetTimer(hwnd_, id, static_cast<UINT>(timer.Interval), nullptr);
    else
        ::KillTimer(hwnd_, id);
}

LRESULT FormWindow::Message(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        // Enter and Esc come from IsDialogMessage as IDOK and IDCANCEL.
        if (lp == 0 && LOWORD(wp) == IDOK && !(ok_ && okIsDefault_)) {
            HWND focus = ::GetFocus();
            const LRESULT kind = focus && ::IsChild(hwnd_, focus) ? ::SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
            if (kind & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON))
                ::SendMessageW(focus, BM_CLICK, 0, 0);
            return 0;
        }
        if (ok_ && ((lp == 0 && LOWORD(wp) == IDOK) || (lp == 0 && LOWORD(wp) == IDCANCEL && okIsCancel_) ||
                    (lp != 0 && HIWORD(wp) == BN_CLICKED && controls_->NameOf(LOWORD(wp)) == "cmdOK"))) {
            ok_();
            return 0;
        }
        if (lp != 0) {
            Command(controls_ ? controls_->NameOf(LOWORD(wp)) : std::string(), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        }
        break;
    case WM_TIMER:
        Tick(wp);
        return 0;
    case WM_CTLCOLORSTATIC:
        if (controls_ && controls_->IsNote(reinterpret_cast<HWND>(lp))) {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, RGB(128, 128, 128));
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        // Also over the controls: theirs ask their parents first.
        if (WaitCursor::Apply())
            return TRUE;
        break;
    case WM_ACTIVATE:
        // The focus comes back where it was, or to the first control.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(hwnd_, focus))
                lastFocus_ = focus;
        } else if (HWND focus = HIWORD(wp) ? nullptr : FocusOnActivation()) {
            ::SetFocus(focus);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (HWND focus = FocusOnActivation()) {
            ::SetFocus(focus);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (QueryClose())
            Destroy();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Messages after Destroy began (WM_DESTROY, WM_NCDESTROY) need nothing of ours.
    if (!self || self->hwnd_ != hwnd) {
        if (self && msg == WM_NCDESTROY)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->Message(msg, wp, lp);
}

} // namespace tarnwick::win32ui
