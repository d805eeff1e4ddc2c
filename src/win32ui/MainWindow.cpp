#include "win32ui/MainWindow.h"

#include "win32ui/WinText.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

namespace tarnwick::win32ui {

namespace {

HWND MakeChild(const wchar_t* cls, DWORD style, DWORD ex, HWND parent, const RECT& r, int id)
{
    return ::CreateWindowExW(ex, cls, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

int CheckOf(CheckState state)
{
    switch (state) {
    case CheckState::Unchecked: return BST_UNCHECKED;
    case CheckState::Checked: return BST_CHECKED;
    default: return BST_INDETERMINATE;
    }
}

CheckState StateOf(LRESULT check)
{
    switch (check) {
    case BST_UNCHECKED: return CheckState::Unchecked;
    case BST_CHECKED: return CheckState::Checked;
    default: return CheckState::Grayed;
    }
}

void ShowChoice(HWND box, const ListChoice& choice)
{
    if (::SendMessageW(box, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(choice.items.size())) {
        ::SendMessageW(box, CB_RESETCONTENT, 0, 0);
        for (std::size_t i = 0; i < choice.items.size(); ++i)
            ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(choice.Label(i)).c_str()));
    }
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(choice.index), 0);
}

void ShowLines(HWND list, const std::vector<std::wstring>& lines, int selected)
{
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& line : lines)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

} // namespace

MainFormHolder::MainFormHolder(StartupOptions options, Toolkit* toolkit)
{
    if (!toolkit) {
        ownToolkit_ = std::make_unique<Win32Toolkit>();
        toolkit = ownToolkit_.get();
    }
    main_ = std::make_unique<MainForm>(std::move(options), *toolkit);
}

MainWindow::MainWindow(StartupOptions options, Toolkit* toolkit)
    : MainFormHolder(std::move(options), toolkit), FormWindow(*main_)
{
    // A fixed single border: no resizing, no minimize or maximize button.
    Create(MainForm::Layout(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, nullptr, Centre::OnScreen,
           [this](const ControlPlace& c, HWND parent, const RECT& r, int id) {
               return MakeCustom(c, parent, r, id);
           });
    // The tab strip fills the window, its frame around the pages: under
    // them, so that it never paints over them.
    ::SetWindowPos(Control("tbsMain"), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Rows as high as the font's lines.
    HDC dc = ::GetDC(hwnd_);
    HGDIOBJ old = ::SelectObject(dc, controls_->Font());
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd_, dc);
    ::SendMessageW(Control("lstData"), LB_SETITEMHEIGHT, 0, tm.tmHeight);
    if (ownToolkit_) {
        ownToolkit_->owner = hwnd_;
        ownToolkit_->VolumeMenu = [this](MenuPlace place) { PopupMenu(place); };
    }
    // A volume dropped from Explorer opens as one on the command line.
    ::DragAcceptFiles(hwnd_, TRUE);
    Draw("");
}

MainWindow::~MainWindow() { Destroy(); }

HWND MainWindow::MakeCustom(const ControlPlace& c, HWND parent, const RECT& r, int id)
{
    switch (c.kind) {
    case ControlKind::TabStrip: {
        HWND tabs = MakeChild(WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, 0, parent, r, id);
        std::string captions = c.caption;
        int index = 0;
        for (std::size_t start = 0; start <= captions.size();) {
            std::size_t end = captions.find('|', start);
            if (end == std::string::npos)
                end = captions.size();
            std::wstring text = Wide(captions.substr(start, end - start), CP_UTF8);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
            start = end + 1;
        }
        return tabs;
    }
    case ControlKind::Page:
        return ::CreateWindowExW(WS_EX_CONTROLPARENT, PageClass(), L"", WS_CHILD | WS_CLIPSIBLINGS, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                 nullptr);
    case ControlKind::NameList:
        // A million names must show at once: the list holds no items of its
        // own, only their number, and draws each row from the form.
        return MakeChild(L"LISTBOX",
                         LBS_NOTIFY | LBS_MULTIPLESEL | LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT |
                             WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                         WS_EX_CLIENTEDGE, parent, r, id);
    default:
        return nullptr;
    }
}

bool MainWindow::Form_Load()
{
    if (!main_->Form_Load())
        return false;
    Draw("");
    return true;
}

void MainWindow::ShowFolders()
{
    std::vector<std::wstring> lines;
    for (const FolderEntry& e : main_->dirMain.Entries())
        lines.push_back(std::wstring(static_cast<std::size_t>(e.depth) * 2, L' ') + Wide(e.label));
    ShowLines(Control("dirMain"), lines, main_->dirMain.CurrentRow());
}

void MainWindow::ShowVolumes()
{
    std::vector<std::wstring> lines;
    for (const std::string& name : main_->filVolumes.Names())
        lines.push_back(Wide(name));
    ShowLines(Control("filVolumes"), lines, main_->filVolumes.Selected());
}

void MainWindow::ShowNames()
{
    HWND list = Control("lstData");
    const NameListing& names = main_->lstData;
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    if (names.Generation() != namesShown_ || names.Count() != namesCount_) {
        ::SendMessageW(list, LB_SETCOUNT, names.Count(), 0);
        namesShown_ = names.Generation();
        namesCount_ = names.Count();
    }
    // All or none in one message; otherwise row by row.
    if (!names.HasSelection() || names.SelectedCount() == names.Count()) {
        ::SendMessageW(list, LB_SETSEL, names.HasSelection(), -1);
    } else {
        for (std::size_t row = 0; row < names.Count(); ++row)
            if ((::SendMessageW(list, LB_GETSEL, row, 0) > 0) != names.IsSelected(row))
                ::SendMessageW(list, LB_SETSEL, names.IsSelected(row), static_cast<LPARAM>(row));
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::TakeNameSelection()
{
    HWND list = Control("lstData");
    const LRESULT count = ::SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> rows(static_cast<std::size_t>(count > 0 ? count : 0));
    if (!rows.empty())
        ::SendMessageW(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
    main_->lstData.SelectAll(false);
    for (int row : rows)
        main_->lstData.SetSelected(static_cast<std::size_t>(row), true);
}

void MainWindow::DrawName(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1))
        return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    const std::wstring text = Wide(main_->lstData.Text(item.itemID), CP_UTF8);
    RECT r = item.rcItem;
    r.left += 2;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(dc, &item.rcItem);
}

void MainWindow::PopupMenu(MenuPlace place)
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, kPropertiesCommand, L"&Properties");
    POINT at;
    ::GetCursorPos(&at);
    if (place == MenuPlace::SelectedEntry) {
        // Below the start of the selected entry, scrolled into sight.
        HWND list = Control("filVolumes");
        const LRESULT row = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
        RECT r{};
        if (row >= 0) {
            ::SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
            ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        }
        at = {r.left + (r.bottom - r.top) / 2, r.bottom};
        ::ClientToScreen(list, &at);
    }
    // The command comes back as WM_COMMAND, as a menu's does.
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    ::DestroyMenu(menu);
}

void MainWindow::Draw(const std::string& name)
{
    if (!hwnd_)
        return;
    ++drawing_;
    const MainForm& f = *main_;
    const bool all = name.empty();
    if (all || name == "tbsMain")
        ::SendMessageW(Control("tbsMain"), TCM_SETCURSEL, static_cast<WPARAM>(f.tbsMain), 0);
    if (all || name == "picBase" || name == "tbsMain") {
        for (int i = 0; i < 2; ++i)
            ::ShowWindow(Control("picBase(" + std::to_string(i) + ")"), i == f.tbsMain ? SW_SHOW : SW_HIDE);
    }
    if (all || name == "drvMain")
        ShowChoice(Control("drvMain"), f.drvMain);
    if (all || name == "cboPHX")
        ShowChoice(Control("cboPHX"), f.cboPHX);
    if (all || name == "dirMain")
        ShowFolders();
    if (all || name == "filVolumes")
        ShowVolumes();
    if (all || name == "lstData")
        ShowNames();
    const std::pair<const char*, const std::string*> texts[] = {
        {"txtPath", &f.txtPath}, {"txtExtractPath", &f.txtExtractPath}, {"txtDefSearchPath", &f.txtDefSearchPath}};
    for (const auto& [box, value] : texts)
        if ((all || name == box) && GetText(Control(box)) != *value)
            SetText(Control(box), *value);
    const std::pair<const char*, CheckState> checks[] = {{"chkOverwrite", f.chkOverwrite},
                                                         {"chkPHX", f.chkPHX},
                                                         {"chkFileSystem", f.chkFileSystem},
                                                         {"chkSplash", f.chkSplash}};
    for (const auto& [box, value] : checks) {
        if (!all && name != box)
            continue;
        // A grey box stays three-state: a click moves it on through the three.
        if (value == CheckState::Grayed)
            ::SendMessageW(Control(box), BM_SETSTYLE, BS_AUTO3STATE, TRUE);
        ::SendMessageW(Control(box), BM_SETCHECK, static_cast<WPARAM>(CheckOf(value)), 0);
    }
    --drawing_;
}

void MainWindow::Command(const std::string& name, int code, HWND control)
{
    if (drawing_ > 0)
        return;
    MainForm& f = *main_;
    static const std::pair<const char*, void (MainForm::*)()> buttons[] = {
        {"cmdSelAll", &MainForm::cmdSelAll_Click},
        {"cmdDelAll", &MainForm::cmdDelAll_Click},
        {"cmdExtract", &MainForm::cmdExtract_Click},
        {"cmdBrowse", &MainForm::cmdBrowse_Click},
        {"cmdDefSearchBrowse", &MainForm::cmdDefSearchBrowse_Click},
        {"cmdExtractBrowse", &MainForm::cmdExtractBrowse_Click},
        {"cmdAbout", &MainForm::cmdAbout_Click},
        {"cmdAssociate", &MainForm::cmdAssociate_Click},
    };
    for (const auto& [button, handler] : buttons)
        if (name == button && code == BN_CLICKED)
            return (f.*handler)();
    static const std::pair<const char*, CheckState MainForm::*> checks[] = {
        {"chkOverwrite", &MainForm::chkOverwrite},
        {"chkPHX", &MainForm::chkPHX},
        {"chkFileSystem", &MainForm::chkFileSystem},
        {"chkSplash", &MainForm::chkSplash},
    };
    for (const auto& [box, value] : checks)
        if (name == box && code == BN_CLICKED)
            f.*value = StateOf(::SendMessageW(control, BM_GETCHECK, 0, 0));
    static const std::pair<const char*, std::string MainForm::*> texts[] = {
        {"txtPath", &MainForm::txtPath},
        {"txtExtractPath", &MainForm::txtExtractPath},
        {"txtDefSearchPath", &MainForm::txtDefSearchPath},
    };
    for (const auto& [box, value] : texts)
        if (name == box && code == EN_CHANGE)
            f.*value = GetText(control);
    const int row = static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
    if (name == "drvMain" && code == CBN_SELCHANGE) {
        f.drvMain.index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
        f.drvMain_Change();
    } else if (name == "cboPHX" && code == CBN_SELCHANGE) {
        f.cboPHX.index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
    } else if (name == "dirMain" && code == LBN_DBLCLK && row >= 0) {
        f.dirMain_Open(row);
    } else if (name == "filVolumes" && code == LBN_SELCHANGE) {
        f.filVolumes.Select(row);
        f.filVolumes_Click();
    } else if (name == "lstData" && code == LBN_SELCHANGE) {
        TakeNameSelection();
    }
}

bool MainWindow::QueryClose()
{
    if (main_->Loaded())
        main_->Form_Unload();
    return true;
}

LRESULT MainWindow::Message(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        if (lp == 0 && LOWORD(wp) == kPropertiesCommand) {
            main_->mnuProperties_Click();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lp);
        if (note->hwndFrom == Control("tbsMain") && note->code == TCN_SELCHANGE && drawing_ == 0) {
            main_->tbsMain = static_cast<int>(::SendMessageW(note->hwndFrom, TCM_GETCURSEL, 0, 0));
            main_->tbsMain_Click();
            Draw("picBase");
            return 0;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (item->hwndItem == Control("lstData")) {
            DrawName(*item);
            return TRUE;
        }
        break;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wp) == Control("filVolumes")) {
            // From the keyboard (the Menu key, Shift+F10) the message has no
            // point: -1.
            if (lp == -1)
                main_->filVolumes_MenuKey();
            else
                main_->filVolumes_MouseDown(true);
            return 0;
        }
        break;
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wp);
        // Each path at its own length: a fixed buffer would cut a long one
        // and open another file.
        std::vector<std::string> paths;
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(::DragQueryFileW(drop, i, nullptr, 0), L'\0');
            if (!path.empty() && ::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1)) > 0)
                paths.push_back(Narrow(path));
        }
        ::DragFinish(drop);
        main_->OpenDroppedFiles(paths);
        return 0;
    }
    default:
        break;
    }
    return FormWindow::Message(msg, wp, lp);
}

} // namespace tarnwick::win32ui
