#include "win32ui/LayoutControls.h"

#include "win32ui/WinText.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

namespace tarnwick::win32ui {

namespace {

// A closed drop-down is as high as its selection field and its edge; the
// field is sized from the font unless told. Told here, so that the whole
// box has the designed height: the edge is not the same for every field
// height, so the field is corrected by what the box then measures.
void FitClosedHeight(HWND box, int height)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT r;
        ::GetWindowRect(box, &r);
        const int off = height - static_cast<int>(r.bottom - r.top);
        const LRESULT field = ::SendMessageW(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        if (off == 0 || field <= 0 || field + off <= 0)
            return;
        ::SendMessageW(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + off);
    }
}

HWND Make(const wchar_t* cls, const std::wstring& text, DWORD style, DWORD ex, HWND parent, const RECT& r, int id)
{
    return ::CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

} // namespace

HFONT LayoutControls::MakeFont(int dpi, bool bold, bool italic)
{
    // 8.25 points, as the classic windows' MS Sans Serif successor sized it.
    const int height = -::MulDiv(825, dpi, 7200);
    return ::CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Verdana");
}

int LayoutControls::ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

LayoutControls::LayoutControls(HWND window, const WindowLayout& layout, const MakeCustom& custom)
    : dpi_(ScreenDpi()), font_(MakeFont(dpi_, false, false)), noteFont_(MakeFont(dpi_, false, true))
{
    // The table's size is the inside of the window, as the Qt windows take
    // it too; the frame and title bar come on top.
    RECT outer{0, 0, Pixels(layout.width), Pixels(layout.height)};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    ::SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (*layout.caption)
        SetText(window, layout.caption, CP_UTF8);
    // Where each container's controls go, and at what offset.
    std::map<std::string, std::pair<HWND, POINT>, std::less<>> hosts;
    int id = kFirstId;
    std::vector<std::pair<int, HWND>> stops; // keyboard order, control
    for (const ControlPlace& c : layout.controls) {
        HWND parent = window;
        POINT offset{0, 0};
        if (*c.container != '\0') {
            const auto host = hosts.find(c.container);
            if (host == hosts.end())
                throw std::logic_error(std::string(c.name) + " sits on " + c.container + ", not made before it");
            parent = host->second.first;
            offset = host->second.second;
        }
        const RECT r{offset.x + Pixels(c.left), offset.y + Pixels(c.top), offset.x + Pixels(c.left + c.width),
                     offset.y + Pixels(c.top + c.height)};
        HWND control = custom ? custom(c, parent, r, id) : nullptr;
        if (!control)
            control = MakeStandard(c, parent, r, id);
        if (!control)
            throw std::logic_error(std::string(c.name) + " is of a kind this window does not make");
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(c.kind == ControlKind::Note ? noteFont_ : font_),
                       FALSE);
        if (c.kind == ControlKind::ComboBox || c.kind == ControlKind::DriveList)
            FitClosedHeight(control, r.bottom - r.top);
        if (c.kind == ControlKind::Frame)
            hosts[c.name] = {parent, POINT{r.left, r.top}};
        else
            hosts[c.name] = {control, POINT{0, 0}};
        ::EnableWindow(control, c.enabled ? TRUE : FALSE);
        controls_[c.name] = control;
        names_[id++] = c.name;
        if (::GetWindowLongPtrW(control, GWL_STYLE) & WS_TABSTOP)
            stops.emplace_back(c.tab, control);
    }
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& stop : stops)
        tabOrder_.push_back(stop.second);
}

LayoutControls::~LayoutControls()
{
    ::DeleteObject(font_);
    ::DeleteObject(noteFont_);
}

HWND LayoutControls::MakeStandard(const ControlPlace& c, HWND parent, const RECT& r, int id) const
{
    const std::wstring caption = Wide(c.caption, CP_UTF8);
    switch (c.kind) {
    case ControlKind::Label:
    case ControlKind::Note:
        // Labels show names from volumes and paths: an "&" is a character.
        return Make(L"STATIC", caption,
                    (c.align == TextAlign::Right    ? SS_RIGHT
                     : c.align == TextAlign::Center ? SS_CENTER
                                                    : SS_LEFT) |
                        SS_NOPREFIX,
                    0, parent, r, id);
    case ControlKind::Picture:
        return Make(L"STATIC", L"", SS_BITMAP, 0, parent, r, id);
    case ControlKind::Button:
        return Make(L"BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP, 0, parent, r, id);
    case ControlKind::CheckBox:
        return Make(L"BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP, 0, parent, r, id);
    case ControlKind::TextBox:
        return Make(L"EDIT", caption, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, parent, r, id);
    case ControlKind::ComboBox:
    case ControlKind::DriveList: {
        // The height given is the closed box's; the list drops below it.
        RECT open = r;
        open.bottom = r.top + (r.bottom - r.top) * 8;
        return Make(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, parent, open, id);
    }
    case ControlKind::FolderList:
    case ControlKind::FileList:
        return Make(L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                    parent, r, id);
    case ControlKind::Frame:
        return Make(L"BUTTON", caption, BS_GROUPBOX, 0, parent, r, id);
    case ControlKind::ProgressBar: {
        HWND bar = Make(PROGRESS_CLASSW, L"", 0, 0, parent, r, id);
        ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
        return bar;
    }
    default:
        return nullptr;
    }
}

HWND LayoutControls::Find(std::string_view name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

std::string LayoutControls::NameOf(int id) const
{
    const auto it = names_.find(id);
    return it == names_.end() ? std::string() : it->second;
}

bool LayoutControls::IsNote(HWND control) const
{
    // A note has the italic font.
    return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)) == noteFont_;
}

} // namespace tarnwick::win32ui
