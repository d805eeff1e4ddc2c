#include "win32ui/Win32Toolkit.h"

#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "win32ui/AboutWindow.h"
#include "win32ui/DetailsWindow.h"
#include "win32ui/ProgressWindow.h"
#include "win32ui/SplashWindow.h"
#include "win32ui/WaitCursor.h"
#include "win32ui/WinText.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>

namespace tarnwick::win32ui {

namespace {

SYSTEMTIME SystemTimeOf(const std::tm& when)
{
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(when.tm_year + 1900);
    t.wMonth = static_cast<WORD>(when.tm_mon + 1);
    t.wDay = static_cast<WORD>(when.tm_mday);
    t.wDayOfWeek = static_cast<WORD>(when.tm_wday);
    t.wHour = static_cast<WORD>(when.tm_hour);
    t.wMinute = static_cast<WORD>(when.tm_min);
    t.wSecond = static_cast<WORD>(when.tm_sec);
    return t;
}

} // namespace

Win32Toolkit::~Win32Toolkit()
{
    // An hourglass left up by a form that went away early comes down too.
    while (waits_ > 0)
        SetWaitPointer(false);
}

void Win32Toolkit::ShowSplash(SplashForm& form)
{
    SplashWindow window(form, owner);
    form.Form_Load();
    window.RunModal(owner);
}

void Win32Toolkit::ShowAbout(AboutForm& form)
{
    AboutWindow window(form, owner);
    form.Form_Load();
    window.RunModal(owner);
}

void Win32Toolkit::ShowDetails(DetailsForm& form)
{
    DetailsWindow window(form, owner);
    window.RunModal(owner);
}

void Win32Toolkit::ShowProgress(ProgressForm& form)
{
    ProgressWindow window(form, owner);
    window.RunModal(owner);
}

std::string Win32Toolkit::PickFolder(const std::string& title)
{
    const std::wstring text = Wide(title);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = text.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    // Rooted at the drives, as the classic folder pickers were.
    PIDLIST_ABSOLUTE drives = nullptr;
    if (SUCCEEDED(::SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &drives)))
        info.pidlRoot = drives;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    std::string path;
    if (chosen) {
        wchar_t buffer[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(chosen, buffer))
            path = Narrow(buffer);
        ::CoTaskMemFree(chosen);
    }
    if (drives)
        ::CoTaskMemFree(drives);
    return path;
}

std::optional<std::string> Win32Toolkit::PickFile(const OpenFileRequest& request)
{
    // "label\0patterns\0...\0\0"
    std::wstring filter;
    for (const FileFilter& f : request.filters) {
        filter += Wide(f.label) + L'\0';
        filter += Wide(f.patterns) + L'\0';
    }
    filter += L'\0';
    std::wstring file = Wide(request.suggested);
    file.resize(32768, L'\0');
    const std::wstring title = Wide(request.title), folder = Wide(request.folder), suffix = Wide(request.defaultSuffix);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&ofn))
        return std::nullopt;
    return Narrow(file.c_str());
}

void Win32Toolkit::SetWaitPointer(bool wait)
{
    if (!wait && waits_ == 0)
        return;
    waits_ += wait ? 1 : -1;
    WaitCursor::Hold(wait);
}

void Win32Toolkit::SetClipboardText(const std::string& text)
{
    const std::wstring wide = Wide(text);
    if (!::OpenClipboard(owner))
        return;
    ::EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = ::GlobalLock(memory)) {
            std::memcpy(p, wide.c_str(), bytes);
            ::GlobalUnlock(memory);
            if (!::SetClipboardData(CF_UNICODETEXT, memory))
                ::GlobalFree(memory);
        } else {
            ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
}

void Win32Toolkit::PopupVolumeMenu(MenuPlace place)
{
    if (VolumeMenu)
        VolumeMenu(place);
}

std::string Win32Toolkit::ShortDate(const std::tm& when)
{
    const SYSTEMTIME t = SystemTimeOf(when);
    wchar_t text[128] = {};
    const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, text, 128);
    return n > 0 ? Narrow(text, CP_UTF8) : std::string();
}

std::string Win32Toolkit::LongTime(const std::tm& when)
{
    const SYSTEMTIME t = SystemTimeOf(when);
    wchar_t text[128] = {};
    const int n = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, text, 128);
    return n > 0 ? Narrow(text, CP_UTF8) : std::string();
}

} // namespace tarnwick::win32ui
