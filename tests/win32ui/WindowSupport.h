#pragma once
// For the Win32 windows' tests and screenshots: acting on a control as the
// user would, letting the queue run; the small windows' forms and a main
// window started on a listed volume, shared by the window and design tests.
#include "extraction/ExtractionRequest.h"
#include "forms/AboutForm.h"
#include "forms/DetailsForm.h"
#include "forms/ProgressForm.h"
#include "forms/SplashForm.h"
#include "support/FormSupport.h"
#include "win32ui/AboutWindow.h"
#include "win32ui/DetailsWindow.h"
#include "win32ui/MainWindow.h"
#include "win32ui/ProgressWindow.h"
#include "win32ui/SplashWindow.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick::test {

// A notification from `control` to the window that handles it (its page hands it on).
inline void Notify(HWND control, int code)
{
    ::SendMessageW(::GetParent(control), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(control), static_cast<WORD>(code)), reinterpret_cast<LPARAM>(control));
}

// A test folder's path as the Windows form spells paths.
inline std::string Backslashed(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Lets the window's queue run (timers, posted messages) for a while.
inline void Pump(int milliseconds)
{
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() < end);
}

using MakeWindow = std::function<std::unique_ptr<win32ui::FormWindow>()>;

// The small windows' forms, and makers of their windows over `owner`.
struct SmallForms {
    FakeToolkit toolkit;
    SplashForm splash{1};
    AboutForm about;
    DetailsForm details{toolkit};
    ProgressForm progress{[] { return ExtractionRequest{}; }, toolkit};
    MakeWindow aboutWindow(HWND owner = nullptr)
    {
        return [this, owner] { return std::make_unique<win32ui::AboutWindow>(about, owner); };
    }
    MakeWindow detailsWindow(HWND owner = nullptr)
    {
        return [this, owner] { return std::make_unique<win32ui::DetailsWindow>(details, owner); };
    }
    MakeWindow progressWindow(HWND owner = nullptr)
    {
        return [this, owner] { return std::make_unique<win32ui::ProgressWindow>(progress, owner); };
    }
    MakeWindow splashWindow(HWND owner = nullptr)
    {
        return [this, owner] { return std::make_unique<win32ui::SplashWindow>(splash, owner); };
    }
    MakeWindow mainWindow()
    {
        return [this] { return std::make_unique<win32ui::MainWindow>(StartupOptions{}, &toolkit); };
    }
};

// A main window over a form started on dir\v\Base.vol, listed, shown in
// front; its dialogs recorded by a fake toolkit, or shown by the real one.
struct OpenMain {
    TempDir dir;
    ScriptedSink sink;
    FakeToolkit toolkit;
    std::unique_ptr<win32ui::MainWindow> window;
    explicit OpenMain(const std::vector<std::string>& names = {"b.cs", "a.txt"}, const std::string& settings = "",
                      bool fake = true)
    {
        MakeVolume(dir / "v/Base.vol", names);
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nSplash=0\n" + settings);
        o.commandTail = Backslashed(dir / "v/Base.vol");
        window = std::make_unique<win32ui::MainWindow>(o, fake ? &toolkit : nullptr);
        EXPECT_TRUE(window->Form_Load());
        ::ShowWindow(window->Window(), SW_SHOW);
        ::SetForegroundWindow(window->Window());
        Pump(100);
    }
    HWND operator[](const char* name) const { return window->Control(name); }
    MainForm& form() const { return window->Form(); }
    LRESULT Send(const char* name, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const
    {
        return ::SendMessageW((*this)[name], msg, wp, lp);
    }
    // The tab strip's page `page` brought to the front, as a click on its tab does.
    void ShowPage(int page) const
    {
        Send("tbsMain", TCM_SETCURSEL, static_cast<WPARAM>(page));
        NMHDR note{(*this)["tbsMain"], static_cast<UINT_PTR>(::GetDlgCtrlID((*this)["tbsMain"])), TCN_SELCHANGE};
        ::SendMessageW(window->Window(), WM_NOTIFY, note.idFrom, reinterpret_cast<LPARAM>(&note));
        Pump(20);
    }
};

} // namespace tarnwick::test
