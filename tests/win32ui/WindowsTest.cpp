// The Win32 windows, driven with their controls' own messages and read back
// from the controls: built from their tables, wired to their forms, closing
// as the forms say, and a selection extracted through the real extract.exe.
#include "win32ui/LayoutControls.h"
#include "win32ui/WinText.h"
#include "win32ui/WindowSupport.h"

#include <tuple>

namespace tarnwick::test {
namespace {

using win32ui::FormWindow;

// Every control of the tables is made, a note as a note, and buttons show
// their captions and labels their alignment; places, sizes and enabled state
// are held against the design in DesignTest.
TEST(Win32Windows, EveryControlOfTheTableIsMadeWithItsCaption)
{
    SmallForms f;
    const std::pair<const WindowLayout*, MakeWindow> windows[] = {
        {&MainForm::Layout(), f.mainWindow()}, {&SplashForm::Layout(), f.splashWindow()}, {&AboutForm::Layout(), f.aboutWindow()},
        {&DetailsForm::Layout(), f.detailsWindow()}, {&ProgressForm::Layout(), f.progressWindow()}};
    for (const auto& [layout, make] : windows) {
        const std::unique_ptr<FormWindow> window = make();
        for (const ControlPlace& c : layout->controls) {
            SCOPED_TRACE(std::string(layout->caption) + " " + c.name);
            HWND control = window->Control(c.name);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(window->Controls().IsNote(control), c.kind == ControlKind::Note);
            const std::string text = win32ui::GetText(control, CP_UTF8);
            const bool captioned =
                c.kind == ControlKind::Button || c.kind == ControlKind::CheckBox || c.kind == ControlKind::Frame;
            EXPECT_TRUE(!captioned || text == c.caption) << text;
            const LONG_PTR across = ::GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK;
            const LONG_PTR want = c.align == TextAlign::Right ? SS_RIGHT : c.align == TextAlign::Center ? SS_CENTER : SS_LEFT;
            EXPECT_TRUE(c.kind != ControlKind::Label || across == want) << across;
        }
    }
}

TEST(Win32Windows, SmallWindowsCloseAsTheirFormsSay)
{
    SmallForms f;
    const auto command = [](WORD id) { return [id](FormWindow& w) { ::SendMessageW(w.Window(), WM_COMMAND, id, 0); }; };
    const auto click = [](FormWindow& w) { ::SendMessageW(w.Control("cmdOK"), BM_CLICK, 0, 0); };
    const auto closeBox = [](FormWindow& w) { ::SendMessageW(w.Window(), WM_CLOSE, 0, 0); };
    const auto timer = [&f](FormWindow&) { f.splash.Form_Load(); Pump(300); };
    // The Details window's keys are DesignTest's.
    const std::tuple<const char*, MakeWindow, std::function<void(FormWindow&)>, bool> cases[] = {
        {"About's OK button", f.aboutWindow(), click, true},   {"Enter in About", f.aboutWindow(), command(IDOK), true},
        {"the splash's timer", f.splashWindow(), timer, true},
        {"the close box over a job", f.progressWindow(), closeBox, false},
        {"Esc over a job", f.progressWindow(), command(IDCANCEL), false},
    };
    for (const auto& [what, make, act, closed] : cases) {
        const auto window = make();
        ::ShowWindow(window->Window(), SW_SHOW);
        act(*window);
        EXPECT_EQ(window->Closed(), closed) << what;
    }
}

TEST(Win32MainWindow, ControlsCarryTheUsersActsToTheForm)
{
    OpenMain w({"c.cs", "a.cs", "b.cs"});
    MainForm& f = w.form();
    w.Send("chkOverwrite", BM_CLICK);
    EXPECT_TRUE(f.chkOverwrite == CheckState::Unchecked);
    ::SetWindowTextW(w["txtPath"], L"C:\\out");
    EXPECT_EQ(f.txtPath, "C:\\out");
    w.Send("lstData", LB_SETSEL, TRUE, 1); // a click toggles a name
    Notify(w["lstData"], LBN_SELCHANGE);
    EXPECT_EQ(f.lstData.SelectedNames(), std::vector<std::string>{"b.cs"});
    w.Send("cmdSelAll", BM_CLICK);
    EXPECT_EQ(w.Send("lstData", LB_GETSELCOUNT), 3);
    // A right click pops the volume menu up at the pointer, the Menu key or
    // Shift+F10 at the selected volume; its Properties command shows the details.
    w.Send("filVolumes", WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w["filVolumes"]), 0);
    w.Send("filVolumes", WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w["filVolumes"]), -1);
    EXPECT_TRUE(w.toolkit.menuPlaces == (std::vector<MenuPlace>{MenuPlace::Pointer, MenuPlace::SelectedEntry}));
    w.Send("cmdAbout", BM_CLICK);
    // Enter on the contents list, through the program's own message loop,
    // is no menu command: it opens no details.
    ::SetFocus(w["lstData"]);
    MSG enter{w["lstData"], WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    if (!::IsDialogMessageW(w.window->Window(), &enter))
        ::DispatchMessageW(&enter);
    Pump(20);
    EXPECT_EQ(w.toolkit.shown, (std::vector<std::string>{"about"}));
    ::SendMessageW(w.window->Window(), WM_COMMAND, win32ui::MainWindow::kPropertiesCommand, 0);
    EXPECT_EQ(w.toolkit.shown, (std::vector<std::string>{"about", "details"}));
    // The second tab shows the Options page.
    w.ShowPage(1);
    EXPECT_TRUE(f.tbsMain == 1 && ::IsWindowVisible(w["picBase(1)"]) && !::IsWindowVisible(w["picBase(0)"]));
}

TEST(Win32MainWindow, AMillionNamesListAtOnce)
{
    std::vector<std::string> names;
    for (int i = 0; i < 1000000; ++i)
        names.push_back("n" + std::to_string(i));
    OpenMain w(names);
    w.Send("cmdSelAll", BM_CLICK);
    EXPECT_EQ(w.Send("lstData", LB_GETCOUNT), 1000000);
    EXPECT_EQ(w.Send("lstData", LB_GETSELCOUNT), 1000000);
}

// The lists show the form's values; a selection goes through the real
// progress window and its timer to the real extract.exe.
TEST(Win32MainWindow, ListsAndExtractsTheSelectedNamesThroughTheWindows)
{
    TempDir place;
    const std::string out = MakeFolder(Backslashed(place / "out"));
    OpenMain w({"b.cs", "a.txt", "sky.bmp"}, "Path=" + out + "\n", false);
    EXPECT_EQ(w.form().SelectedVolumeName(), "Base.vol");
    EXPECT_EQ(std::pair(w.Send("filVolumes", LB_GETCOUNT), w.Send("filVolumes", LB_GETCURSEL)), std::pair(1LL, 0LL));
    EXPECT_EQ(w.Send("dirMain", LB_GETCURSEL), w.form().dirMain.CurrentRow());
    EXPECT_EQ(w.Send("drvMain", CB_GETCURSEL), w.form().drvMain.index);
    ASSERT_EQ(w.Send("lstData", LB_GETCOUNT), 3);
    // Sorted: a.txt, b.cs, sky.bmp; the first and the second.
    for (int row : {0, 1})
        w.Send("lstData", LB_SETSEL, TRUE, row);
    Notify(w["lstData"], LBN_SELCHANGE);
    w.Send("cmdExtract", BM_CLICK);
    EXPECT_EQ(ReadFile(out + "/a.txt"), "data of a.txt");
    EXPECT_EQ(ReadFile(out + "/b.cs"), "data of b.cs");
    EXPECT_FALSE(Exists(out + "/sky.bmp"));
    EXPECT_EQ(w.Send("lstData", LB_GETSELCOUNT), 0);
    EXPECT_TRUE(w.sink.texts.empty()) << w.sink.texts.front();
    // Opening the folder above lists no volume there.
    const LRESULT row = w.Send("dirMain", LB_GETCURSEL);
    Notify(w["dirMain"], LBN_DBLCLK);
    w.Send("dirMain", LB_SETCURSEL, static_cast<WPARAM>(row - 1));
    Notify(w["dirMain"], LBN_DBLCLK);
    EXPECT_EQ(w.form().DirPath(), Backslashed(w.dir.Path()));
    EXPECT_EQ(w.Send("filVolumes", LB_GETCOUNT), 0);
}

} // namespace
} // namespace tarnwick::test
