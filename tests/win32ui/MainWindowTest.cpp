// The Win32 main window hands the user's acts to its form and shows what
// the form holds: driven with the controls' own messages, read back from the
// controls.
#include "win32ui/MainWindow.h"
#include "support/FormSupport.h"
#include "win32ui/WindowSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

namespace tarnwick::test {
namespace {

// A window over a form started on dir\v\Base.vol, listed.
struct OpenWindow {
    TempDir dir;
    ScriptedSink sink;
    FakeToolkit toolkit;
    std::unique_ptr<win32ui::MainWindow> window;
    explicit OpenWindow(const std::vector<std::string>& names)
    {
        MakeVolume(dir / "v/Base.vol", names);
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nSplash=0\n");
        o.commandTail = Backslashed(dir / "v/Base.vol");
        window = std::make_unique<win32ui::MainWindow>(o, &toolkit);
        EXPECT_TRUE(window->Form_Load());
        ::ShowWindow(window->Window(), SW_SHOW);
    }
    HWND operator[](const char* name) const { return window->Control(name); }
    MainForm& form() const { return window->Form(); }
};

TEST(Win32MainWindow, ControlsCarryTheUsersActsToTheForm)
{
    struct Case {
        const char* act;
        std::function<void(OpenWindow&)> run;
        std::function<bool(OpenWindow&)> seen;
    };
    const Case cases[] = {
        {"a click clears a check box",
         [](OpenWindow& w) { ::SendMessageW(w["chkOverwrite"], BM_CLICK, 0, 0); },
         [](OpenWindow& w) { return w.form().chkOverwrite == CheckState::Unchecked; }},
        {"typing fills the path",
         [](OpenWindow& w) { ::SetWindowTextW(w["txtPath"], L"C:\\out"); },
         [](OpenWindow& w) { return w.form().txtPath == "C:\\out"; }},
        {"the second tab shows the Options page",
         [](OpenWindow& w) {
             ::SendMessageW(w["tbsMain"], TCM_SETCURSEL, 1, 0);
             NMHDR note{w["tbsMain"], static_cast<UINT_PTR>(::GetDlgCtrlID(w["tbsMain"])), TCN_SELCHANGE};
             ::SendMessageW(w.window->Window(), WM_NOTIFY, note.idFrom, reinterpret_cast<LPARAM>(&note));
         },
         [](OpenWindow& w) {
             return w.form().tbsMain == 1 && ::IsWindowVisible(w["picBase(1)"]) && !::IsWindowVisible(w["picBase(0)"]);
         }},
        {"clicking a name toggles it",
         [](OpenWindow& w) {
             ::SendMessageW(w["lstData"], LB_SETSEL, TRUE, 1);
             Notify(w["lstData"], LBN_SELCHANGE);
         },
         [](OpenWindow& w) { return w.form().lstData.SelectedNames() == std::vector<std::string>{"b.cs"}; }},
        {"Select All selects every row of the list",
         [](OpenWindow& w) { ::SendMessageW(w["cmdSelAll"], BM_CLICK, 0, 0); },
         [](OpenWindow& w) { return ::SendMessageW(w["lstData"], LB_GETSELCOUNT, 0, 0) == 3; }},
        {"About shows the About window",
         [](OpenWindow& w) { ::SendMessageW(w["cmdAbout"], BM_CLICK, 0, 0); },
         [](OpenWindow& w) { return w.toolkit.shown == std::vector<std::string>{"about"}; }},
        {"a right click on the volume list pops its menu up at the pointer",
         [](OpenWindow& w) {
             ::SendMessageW(w["filVolumes"], WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w["filVolumes"]), 0);
         },
         [](OpenWindow& w) { return w.toolkit.menuPlaces == std::vector<MenuPlace>{MenuPlace::Pointer}; }},
        {"the Menu key or Shift+F10 on it pops it up at the selected volume",
         [](OpenWindow& w) {
             ::SendMessageW(w["filVolumes"], WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w["filVolumes"]), -1);
         },
         [](OpenWindow& w) { return w.toolkit.menuPlaces == std::vector<MenuPlace>{MenuPlace::SelectedEntry}; }},
        {"and not without a selected volume",
         [](OpenWindow& w) {
             ::SendMessageW(w["filVolumes"], LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
             Notify(w["filVolumes"], LBN_SELCHANGE);
             ::SendMessageW(w["filVolumes"], WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w["filVolumes"]), -1);
         },
         [](OpenWindow& w) { return w.toolkit.menuPlaces.empty(); }},
        {"its Properties command shows the volume's details",
         [](OpenWindow& w) {
             ::SendMessageW(w.window->Window(), WM_COMMAND, win32ui::MainWindow::kPropertiesCommand, 0);
         },
         [](OpenWindow& w) { return w.toolkit.shown == std::vector<std::string>{"details"}; }},
    };
    for (const Case& c : cases) {
        OpenWindow w({"c.cs", "a.cs", "b.cs"});
        c.run(w);
        EXPECT_TRUE(c.seen(w)) << c.act;
    }
}

TEST(Win32MainWindow, ListsShowTheFormsValues)
{
    OpenWindow w({"c.cs", "a.cs", "b.cs"});
    ASSERT_EQ(::SendMessageW(w["lstData"], LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(w.form().SelectedVolumeName(), "Base.vol");
    EXPECT_EQ(::SendMessageW(w["filVolumes"], LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(w["filVolumes"], LB_GETCURSEL, 0, 0), 0);
    const LRESULT row = ::SendMessageW(w["dirMain"], LB_GETCURSEL, 0, 0);
    EXPECT_EQ(row, w.form().dirMain.CurrentRow());
    EXPECT_EQ(::SendMessageW(w["drvMain"], CB_GETCURSEL, 0, 0), w.form().drvMain.index);
    EXPECT_FALSE(::IsWindowEnabled(w["cboPHX"]));
    EXPECT_FALSE(::IsWindowEnabled(w["chkPHX"]));
    // Opening the folder above lists no volume there.
    Notify(w["dirMain"], LBN_DBLCLK);
    ::SendMessageW(w["dirMain"], LB_SETCURSEL, static_cast<WPARAM>(row - 1), 0);
    Notify(w["dirMain"], LBN_DBLCLK);
    EXPECT_EQ(w.form().DirPath(), Backslashed(w.dir.Path()));
    EXPECT_EQ(::SendMessageW(w["filVolumes"], LB_GETCOUNT, 0, 0), 0);
}

TEST(Win32MainWindow, AMillionNamesListAtOnce)
{
    std::vector<std::string> names;
    for (int i = 0; i < 1000000; ++i)
        names.push_back("n" + std::to_string(i));
    const DWORD start = ::GetTickCount();
    OpenWindow w(names);
    ::SendMessageW(w["cmdSelAll"], BM_CLICK, 0, 0);
    EXPECT_EQ(::SendMessageW(w["lstData"], LB_GETCOUNT, 0, 0), 1000000);
    EXPECT_EQ(::SendMessageW(w["lstData"], LB_GETSELCOUNT, 0, 0), 1000000);
    EXPECT_LT(::GetTickCount() - start, 60000u);
}

} // namespace
} // namespace tarnwick::test
