#include "win32ui/FormWindow.h"

#include <commctrl.h>

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

void FormWindow::Create(const WindowLayout& layout, DWORD style, DWORD exStyle, HWND owner,
                        const LayoutControls::MakeCustom& custom)
{
    RegisterClasses(Proc);
    hwnd_ = ::CreateWindowExW(exStyle, kWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner,
                              nullptr, ::GetModuleHandleW(nullptr), this);
    controls_ = std::make_unique<LayoutControls>(hwnd_, layout, custom);
    // Centred on the screen, as the classic windows opened.
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    ::SetWindowPos(hwnd_, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_.Changed = [this](const std::string& control) { Draw(control); };
    form_.CloseWindow = [this] { Destroy(); };
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
        if (ok_ && ((lp == 0 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) ||
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
