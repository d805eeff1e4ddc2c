// A volume listed and a selection extracted through the real windows: the
// Win32 main window, its progress window with its timer, and the real
// extract.exe; only the message boxes are answered by a script.
#include "win32ui/MainWindow.h"
#include "support/FormSupport.h"
#include "win32ui/WindowSupport.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

TEST(Win32EndToEnd, ExtractsTheSelectedNamesThroughTheWindows)
{
    TempDir dir;
    ScriptedSink sink;
    const std::string out = Backslashed(dir / "out");
    MakeFolder(out);
    MakeVolume(dir / "v/Base.vol", {"b.cs", "a.txt", "sky.bmp"});
    StartupOptions o =
        TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + out + "\nSplash=0\n");
    o.commandTail = Backslashed(dir / "v/Base.vol");
    win32ui::MainWindow window(o);
    ASSERT_TRUE(window.Form_Load());
    ::ShowWindow(window.Window(), SW_SHOW);
    HWND names = window.Control("lstData");
    ASSERT_EQ(::SendMessageW(names, LB_GETCOUNT, 0, 0), 3);
    // Sorted: a.txt, b.cs, sky.bmp; the first and the second.
    for (int row : {0, 1})
        ::SendMessageW(names, LB_SETSEL, TRUE, row);
    Notify(names, LBN_SELCHANGE);
    ::SendMessageW(window.Control("cmdExtract"), BM_CLICK, 0, 0);
    EXPECT_EQ(ReadFile(out + "/a.txt"), "data of a.txt");
    EXPECT_EQ(ReadFile(out + "/b.cs"), "data of b.cs");
    EXPECT_FALSE(Exists(out + "/sky.bmp"));
    EXPECT_EQ(::SendMessageW(names, LB_GETSELCOUNT, 0, 0), 0);
    EXPECT_TRUE(sink.texts.empty()) << sink.texts.front();
}

} // namespace
} // namespace tarnwick::test
