// The Win32 windows held against the hand-typed design: each real window
// read back from Win32 (frame, size, place, every control), the keyboard
// order as Tab walks it, the message boxes as Win32 draws them, the
// splash's version label and the hourglass over every window.
#include "support/DesignedWindows.h"
#include "win32ui/Win32MessageSink.h"
#include "win32ui/Win32Toolkit.h"
#include "win32ui/WinText.h"
#include "win32ui/WindowSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick::test {
namespace {

using win32ui::FormWindow;

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "  " + line + "\n";
    return text;
}

POINT Centre(HWND window)
{
    RECT r;
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

const DesignedControl* DesignedRow(const DesignedWindow& d, const std::string& name)
{
    for (const DesignedControl& c : d.controls)
        if (name == c.name)
            return &c;
    return nullptr;
}

// What Win32 shows of `window`; `owner` is the window put off the screen's
// centre that the small windows were given.
ShownWindow Read(const FormWindow& window, const DesignedWindow& d, HWND owner)
{
    HWND w = window.Window();
    ShownWindow s;
    s.caption = win32ui::GetText(w, CP_UTF8);
    RECT client;
    ::GetClientRect(w, &client);
    s.width = client.right;
    s.height = client.bottom;
    const LONG_PTR style = ::GetWindowLongPtrW(w, GWL_STYLE), ex = ::GetWindowLongPtrW(w, GWL_EXSTYLE);
    s.resizable = (style & WS_THICKFRAME) != 0;
    s.titleBar = (style & WS_CAPTION) == WS_CAPTION;
    s.dialogFrame = (ex & WS_EX_DLGMODALFRAME) != 0;
    s.minimizeBox = (style & WS_MINIMIZEBOX) != 0;
    s.maximizeBox = (style & WS_MAXIMIZEBOX) != 0;
    s.closeBox = (style & WS_SYSMENU) != 0;
    s.inTaskBar = (ex & WS_EX_APPWINDOW) != 0 || (!::GetWindow(w, GW_OWNER) && (ex & WS_EX_TOOLWINDOW) == 0);
    const POINT centre = Centre(w), ownerCentre = Centre(owner);
    s.centreX = centre.x, s.centreY = centre.y;
    s.screenX = ::GetSystemMetrics(SM_CXSCREEN) / 2, s.screenY = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    s.ownerX = ownerCentre.x, s.ownerY = ownerCentre.y;
    std::vector<HWND> children;
    ::EnumChildWindows(
        w,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        const std::string name = window.Controls().NameOf(::GetDlgCtrlID(child));
        if (name.empty() || window.Control(name) != child)
            continue;
        const DesignedControl* row = DesignedRow(d, name);
        HWND container = row && *row->container ? window.Control(row->container) : w;
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&r), 2);
        s.controls.push_back({name, r.left, r.top, r.right - r.left, r.bottom - r.top, ::IsWindowEnabled(child) != 0});
    }
    return s;
}

// A top-level window standing at the screen's top left, as the small
// windows' owner: centred on it is not centred on the screen.
struct OffCentreOwner {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, 30, 20, 560, 440,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ~OffCentreOwner() { ::DestroyWindow(hwnd); }
};

TEST(Win32Design, EveryWindowStandsAsDesigned)
{
    SmallForms f;
    OffCentreOwner owner;
    const std::pair<const char*, MakeWindow> windows[] = {
        {"frmMain", f.mainWindow()},
        {"frmDetails", f.detailsWindow(owner.hwnd)},
        {"frmProgress", f.progressWindow(owner.hwnd)},
        {"frmSplash", f.splashWindow(owner.hwnd)},
        {"frmAbout", f.aboutWindow(owner.hwnd)},
    };
    for (const auto& [name, make] : windows) {
        const std::unique_ptr<FormWindow> window = make();
        const DesignedWindow& d = Designed(name);
        const ShownWindow shown = Read(*window, d, owner.hwnd);
        const int dpi = window->Controls().Dpi();
        std::vector<std::string> differences = Differences(d, shown, dpi);
        if (std::string(name) == "frmAbout")
            for (const std::string& line : AboutArrangement(shown, dpi))
                differences.push_back(line);
        EXPECT_TRUE(differences.empty()) << name << " differs from its design:\n" << Lines(differences);
    }
}

// The name of the control that has the keyboard focus.
std::string FocusName(const FormWindow& window)
{
    HWND focus = ::GetFocus();
    const std::string name = window.Controls().NameOf(::GetDlgCtrlID(focus));
    return !name.empty() && window.Control(name) == focus ? name : "(none)";
}

// Tab (with Shift: backwards) as the keyboard sends it to the focus.
void PressTab(bool shift)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    HWND focus = ::GetFocus();
    ::PostMessageW(focus, WM_KEYDOWN, VK_TAB, 1);
    ::PostMessageW(focus, WM_CHAR, L'\t', 1);
    ::PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC0000001);
    Pump(20);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

TEST(Win32Design, TabVisitsTheControlsInTheDesignedOrder)
{
    OpenMain w;
    const DesignedWindow& d = Designed("frmMain");
    const std::vector<std::string> browser = TabVisits(d, [](const char* c) { return std::string(c) != "picBase(1)"; });
    ASSERT_FALSE(browser.empty());
    EXPECT_EQ(FocusName(*w.window), browser.front()) << "the focus as the window opens";
    const struct {
        int page;
        std::vector<std::string> visits;
    } pages[] = {
        {0, browser},
        {1, TabVisits(d, [](const char* c) { return std::string(c) != "picBase(0)"; })},
    };
    for (const auto& [page, visits] : pages) {
        SCOPED_TRACE("page " + std::to_string(page));
        w.ShowPage(page);
        ::SetFocus(w[visits.front().c_str()]);
        // Once round forwards, back to the first; then backwards.
        std::vector<std::string> forwards, backwards, wantBackwards;
        for (std::size_t i = 0; i < visits.size(); ++i) {
            PressTab(false);
            forwards.push_back(FocusName(*w.window));
        }
        for (std::size_t i = 0; i < visits.size(); ++i) {
            PressTab(true);
            backwards.push_back(FocusName(*w.window));
            wantBackwards.push_back(visits[(visits.size() - 1 - i) % visits.size()]);
        }
        std::vector<std::string> wantForwards(visits.begin() + 1, visits.end());
        wantForwards.push_back(visits.front());
        EXPECT_EQ(forwards, wantForwards);
        EXPECT_EQ(backwards, wantBackwards);
    }
}

TEST(Win32Design, TheTabStripLiesUnderThePages)
{
    OpenMain w;
    // Below both pages in the z-order: it never paints over them.
    for (const char* page : {"picBase(0)", "picBase(1)"}) {
        bool pageBelow = false;
        for (HWND next = ::GetWindow(w["tbsMain"], GW_HWNDNEXT); next; next = ::GetWindow(next, GW_HWNDNEXT))
            pageBelow = pageBelow || next == w[page];
        EXPECT_FALSE(pageBelow) << page << " lies under the tab strip";
    }
}

// Runs `window` modally after posting `keys` to it; true when they closed
// it (the close box ends the run otherwise, noting the focus then).
HWND g_running = nullptr;
const FormWindow* g_modal = nullptr;
std::string g_focusLeft; // "" when the keys closed the window
bool KeysClose(FormWindow& window, const std::function<void(HWND)>& keys)
{
    g_running = window.Window();
    g_modal = &window;
    g_focusLeft.clear();
    keys(window.Window());
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
        if (::IsWindow(g_running)) {
            g_focusLeft = FocusName(*g_modal);
            ::PostMessageW(g_running, WM_CLOSE, 0, 0);
        }
    });
    window.RunModal(nullptr);
    ::KillTimer(nullptr, timer);
    return g_focusLeft.empty();
}

// The Details window opens with the focus on OK, which neither Enter nor Esc
// stands for: only OK itself and the close box close it.
TEST(Win32Design, DetailsOKHasTheFocusAndIsNeitherDefaultNorCancel)
{
    SmallForms f;
    const auto key = [](WPARAM vk) {
        return [vk](HWND w) {
            HWND ok = ::FindWindowExW(w, nullptr, L"Button", L"&OK");
            ::PostMessageW(ok, WM_KEYDOWN, vk, 1);
            ::PostMessageW(ok, WM_KEYUP, vk, 0xC0000001);
        };
    };
    const struct {
        const char* what;
        std::function<void(HWND)> keys;
        bool closes;
    } cases[] = {
        {"no key", [](HWND) {}, false},
        {"Esc", key(VK_ESCAPE), false},
        {"Enter on OK", key(VK_RETURN), true},
        {"Space on OK", key(VK_SPACE), true},
        {"the close box", [](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, true},
    };
    for (const auto& c : cases) {
        win32ui::DetailsWindow window(f.details, nullptr);
        EXPECT_EQ(KeysClose(window, c.keys), c.closes) << c.what;
        if (!c.closes) {
            EXPECT_EQ(g_focusLeft, TabVisits(Designed("frmDetails"), [](const char*) { return true; }).front()) << c.what;
        }
    }
}

// The last visible top-level window of this thread that `is` picks.
HWND VisibleWindowOfThisThread(bool (*is)(HWND))
{
    struct Search {
        bool (*is)(HWND);
        HWND found = nullptr;
    } search{is};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND w, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            if (::IsWindowVisible(w) && s->is(w))
                s->found = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The box Win32 shows: which of its buttons and which icon.
struct BoxShown {
    std::vector<int> buttons;
    HICON icon = nullptr;
    bool seen = false;
};
BoxShown g_box;

void CALLBACK ReadBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    HWND box = VisibleWindowOfThisThread([](HWND w) {
        wchar_t cls[16] = {};
        ::GetClassNameW(w, cls, 16);
        return std::wstring(cls) == L"#32770";
    });
    if (!box)
        return;
    g_box.seen = true;
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
        if (HWND b = ::GetDlgItem(box, id); b && ::IsWindowVisible(b))
            g_box.buttons.push_back(id);
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if ((::GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ::IsWindowVisible(c))
            g_box.icon = reinterpret_cast<HICON>(::SendMessageW(c, STM_GETICON, 0, 0));
    ::PostMessageW(box, WM_COMMAND, g_box.buttons.empty() ? IDCANCEL : g_box.buttons.front(), 0);
}

TEST(Win32Design, MessageBoxesShowTheDesignedButtonsAndIcon)
{
    win32ui::Win32MessageSink sink;
    for (const DesignedBox& box : DesignedBoxes()) {
        MessageRequest r;
        r.text = box.what;
        r.buttons = RequestedButtons(box.buttons);
        r.icon = RequestedIcon(box.icon);
        g_box = {};
        ::SetTimer(nullptr, 0, 200, ReadBox);
        sink.Show(r);
        const std::vector<int> buttons = box.buttons == BoxButtons::OK         ? std::vector<int>{IDOK}
                                         : box.buttons == BoxButtons::OKCancel ? std::vector<int>{IDOK, IDCANCEL}
                                                                               : std::vector<int>{IDYES, IDNO};
        const LPCWSTR icon = box.icon == BoxIcon::Critical   ? IDI_HAND
                             : box.icon == BoxIcon::Question ? IDI_QUESTION
                                                             : IDI_ASTERISK;
        EXPECT_TRUE(g_box.seen) << box.what;
        EXPECT_EQ(g_box.buttons, buttons) << box.what;
        EXPECT_EQ(g_box.icon, box.icon == BoxIcon::None ? nullptr : ::LoadIconW(nullptr, icon)) << box.what;
    }
}

// Runs `draw` on a memory bitmap of the screen's format.
void OnBitmap(const std::function<void(HDC)>& draw)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 400, 100);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    draw(dc);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
}

TEST(Win32Design, TheSplashVersionLooksAsDesigned)
{
    SplashForm form(1);
    win32ui::SplashWindow window(form, nullptr);
    HWND label = window.Control("labVersion");
    const DesignedLabelLook look = SplashVersionLook();
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(win32ui::Narrow(font.lfFaceName, CP_UTF8), look.family);
    EXPECT_EQ(font.lfHeight, -::MulDiv(static_cast<int>(look.points * 100), window.Controls().Dpi(), 7200));
    EXPECT_EQ(font.lfWeight >= FW_BOLD, look.bold) << font.lfWeight;
    // What the label is told when it paints.
    OnBitmap([&](HDC dc) {
        ::SendMessageW(window.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
        EXPECT_EQ(::GetTextColor(dc), RGB(look.red, look.green, look.blue));
        EXPECT_EQ(::GetBkMode(dc) == TRANSPARENT, look.transparent);
    });
    EXPECT_EQ((::GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK) == SS_RIGHT, look.rightAligned);
}

// The colour `paint` leaves at (x, y) of a bitmap first painted with
// `under`.
COLORREF Painted(const std::function<void(HDC)>& under, const std::function<void(HDC)>& paint, int x, int y)
{
    COLORREF colour = 0;
    OnBitmap([&](HDC dc) {
        under(dc);
        paint(dc);
        colour = ::GetPixel(dc, x, y);
    });
    return colour;
}

TEST(Win32Design, LabelsPaintTheirPagesBackground)
{
    OpenMain w;
    const struct {
        const char* label;
        const char* page;
    } labels[] = {{"lab(0)", "picBase(0)"}, {"lab(3)", "picBase(0)"}, {"lab(8)", "picBase(0)"},
                  {"lab(5)", "picBase(1)"}, {"lab(7)", "picBase(1)"}};
    for (const auto& [label, page] : labels) {
        w.ShowPage(std::string(page) == "picBase(0)" ? 0 : 1);
        HWND l = w[label], p = w[page];
        RECT r;
        ::GetClientRect(l, &r);
        const auto erasePage = [p](HDC dc) { ::SendMessageW(p, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); };
        const auto printLabel = [l](HDC dc) {
            ::SendMessageW(l, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        };
        // The label's last pixel row at its right end holds no letter.
        const COLORREF pageColour = Painted(erasePage, [](HDC) {}, r.right - 2, r.bottom - 1);
        const COLORREF labelColour = Painted(erasePage, printLabel, r.right - 2, r.bottom - 1);
        EXPECT_EQ(labelColour, pageColour) << label;
    }
}

// The hourglass a program-wide wait shows over `window`, as the system asks
// each time the pointer moves over it.
bool WaitCursorOver(HWND window)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    return ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
}

TEST(Win32Design, TheHourglassStaysWhileAListingRuns)
{
    OpenMain w;
    win32ui::Win32Toolkit toolkit; // any of the program's toolkits
    for (const char* over : {"", "lstData", "filVolumes", "txtPath"}) {
        HWND window = *over ? w[over] : w.window->Window();
        {
            WaitPointer listing(toolkit);
            EXPECT_TRUE(WaitCursorOver(window)) << over;
        }
        EXPECT_FALSE(WaitCursorOver(window)) << over << " once the listing is done";
    }
}

struct WaitSeen {
    HWND main = nullptr;
    bool overMain = false, overProgress = false, progressSeen = false;
} g_wait;

TEST(Win32Design, TheHourglassStaysWhileTheProgressWindowWaitsForTheJob)
{
    TempDir place;
    const std::string out = MakeFolder(Backslashed(place / "out"));
    OpenMain w({"b.cs", "a.txt"}, "Path=" + out + "\n", false);
    ::SendMessageW(w["lstData"], LB_SETSEL, TRUE, 0);
    Notify(w["lstData"], LBN_SELCHANGE);
    g_wait = {w.window->Window()};
    // Before the progress window's 300 ms have run out.
    ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        HWND progress = VisibleWindowOfThisThread([](HWND w) { return ::GetWindow(w, GW_OWNER) == g_wait.main; });
        g_wait.progressSeen = progress != nullptr;
        g_wait.overProgress = progress && WaitCursorOver(progress);
        g_wait.overMain = WaitCursorOver(g_wait.main);
    });
    ::SendMessageW(w["cmdExtract"], BM_CLICK, 0, 0);
    EXPECT_TRUE(g_wait.progressSeen);
    EXPECT_TRUE(g_wait.overProgress);
    EXPECT_TRUE(g_wait.overMain);
    EXPECT_EQ(ReadFile(out + "/a.txt"), "data of a.txt");
}

} // namespace
} // namespace tarnwick::test
