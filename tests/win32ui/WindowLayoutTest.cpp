// Each Win32 window is built from its layout table: every control of the
// table exists, on the right kind of window, at its place in pixels.
#include "extraction/ExtractionRequest.h"
#include "forms/ProgressForm.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "win32ui/AboutWindow.h"
#include "win32ui/DetailsWindow.h"
#include "win32ui/LayoutControls.h"
#include "win32ui/MainWindow.h"
#include "win32ui/ProgressWindow.h"
#include "win32ui/SplashWindow.h"
#include "support/FakeToolkit.h"
#include "forms/DetailsForm.h"
#include "win32ui/WindowSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace tarnwick::test {
namespace {

using win32ui::FormWindow;

std::wstring ClassOf(HWND w)
{
    wchar_t name[64] = {};
    ::GetClassNameW(w, name, 64);
    return name;
}

// The window class each kind of control is made of.
std::wstring ExpectedClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::Note:
    case ControlKind::Picture: return L"Static";
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::Frame: return L"Button";
    case ControlKind::TextBox: return L"Edit";
    case ControlKind::ComboBox:
    case ControlKind::DriveList: return L"ComboBox";
    case ControlKind::FolderList:
    case ControlKind::FileList:
    case ControlKind::NameList: return L"ListBox";
    case ControlKind::TabStrip: return L"SysTabControl32";
    case ControlKind::Page: return L"TarnwickPage";
    case ControlKind::ProgressBar: return L"msctls_progress32";
    }
    return L"";
}

// A control's place in the window's client area, in twips, its containers'
// places added.
RECT TwipsPlace(const WindowLayout& layout, const ControlPlace& c, int dpi)
{
    int left = c.left, top = c.top;
    for (const ControlPlace* up = FindControl(layout, c.container); up; up = FindControl(layout, up->container)) {
        left += up->left;
        top += up->top;
    }
    return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(left + c.width, dpi),
            TwipsToPixels(top + c.height, dpi)};
}

TEST(Win32Windows, EveryControlOfTheTableSitsAtItsPlace)
{
    FakeToolkit toolkit;
    SplashForm splash;
    AboutForm about;
    DetailsForm details(toolkit);
    ProgressForm progress([] { return ExtractionRequest{}; }, toolkit);
    const std::map<std::string, std::pair<const WindowLayout*, std::function<std::unique_ptr<FormWindow>()>>> windows{
        {"main", {&MainForm::Layout(), [&] { return std::make_unique<win32ui::MainWindow>(StartupOptions{}, &toolkit); }}},
        {"splash", {&SplashForm::Layout(), [&] { return std::make_unique<win32ui::SplashWindow>(splash, nullptr); }}},
        {"about", {&AboutForm::Layout(), [&] { return std::make_unique<win32ui::AboutWindow>(about, nullptr); }}},
        {"details", {&DetailsForm::Layout(), [&] { return std::make_unique<win32ui::DetailsWindow>(details, nullptr); }}},
        {"progress",
         {&ProgressForm::Layout(), [&] { return std::make_unique<win32ui::ProgressWindow>(progress, nullptr); }}},
    };
    for (const auto& [title, entry] : windows) {
        const auto& [layout, make] = entry;
        const std::unique_ptr<FormWindow> window = make();
        const int dpi = window->Controls().Dpi();
        RECT inside;
        ::GetClientRect(window->Window(), &inside);
        EXPECT_EQ(inside.right, TwipsToPixels(layout->width, dpi)) << title;
        EXPECT_EQ(inside.bottom, TwipsToPixels(layout->height, dpi)) << title;
        for (const ControlPlace& c : layout->controls) {
            SCOPED_TRACE(title + " " + c.name);
            HWND control = window->Control(c.name);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(ClassOf(control), ExpectedClass(c.kind));
            const RECT want = TwipsPlace(*layout, c, dpi), got = PlaceOf(control);
            EXPECT_EQ(got.left, want.left);
            EXPECT_EQ(got.top, want.top);
            EXPECT_EQ(got.right, want.right);
            // A drop-down's height is its font's, whatever the table says.
            if (c.kind != ControlKind::ComboBox && c.kind != ControlKind::DriveList) {
                EXPECT_EQ(got.bottom, want.bottom);
            }
            EXPECT_EQ(window->Controls().IsNote(control), c.kind == ControlKind::Note);
            EXPECT_EQ(::IsWindowEnabled(control) != FALSE, c.enabled);
            if (c.kind == ControlKind::Label) {
                const LONG_PTR across = ::GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK;
                EXPECT_EQ(across, c.align == TextAlign::Right    ? SS_RIGHT
                                  : c.align == TextAlign::Center ? SS_CENTER
                                                                 : SS_LEFT);
            }
        }
    }
}

} // namespace
} // namespace tarnwick::test
