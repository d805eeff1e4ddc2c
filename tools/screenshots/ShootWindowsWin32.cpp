// Not a test: shows every Win32 window over a form filled as in use and
// saves what the screen shows of it as a BMP file (scripts/screenshots-windows
// runs it under Wine on a virtual display).
#include "extraction/ExtractionRequest.h"
#include "forms/ProgressForm.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "win32ui/AboutWindow.h"
#include "win32ui/DetailsWindow.h"
#include "win32ui/MainWindow.h"
#include "win32ui/ProgressWindow.h"
#include "win32ui/SplashWindow.h"
#include "support/FormSupport.h"
#include "forms/DetailsForm.h"
#include "win32ui/WindowSupport.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace {

using namespace tarnwick;

// The window as the screen shows it, frame included, as a 24-bit BMP.
bool Save(HWND window, const std::string& path)
{
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    test::Pump(600);
    RECT r;
    ::GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (w * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * h);
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof info};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    std::printf("%s\n", path.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: shoot_windows FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    test::TempDir dir;
    test::ScriptedSink sink;
    test::FakeToolkit toolkit;
    test::MakeVolume(dir / "Tribes/base/Entities.vol",
                     {"scripts\\ai\\Bot.cs", "art\\sky.bmp", "Entities.dts", "readme.txt", "lush.ted", "sound\\boom.wav"});
    StartupOptions o = test::TestOptions(dir, "[Tarnwick]\nSplash=0\n");
    o.commandTail = test::Backslashed(dir / "Tribes/base/Entities.vol");
    bool ok = true;
    {
        win32ui::MainWindow main(o, &toolkit);
        main.Form_Load();
        main.Form().lstData.SetRangeSelected(1, 2, true);
        main.Form().txtPath = "C:\\Dynamix\\Tribes\\extracted";
        main.Form().Changed("");
        ok = Save(main.Window(), folder + "/main-browser.bmp") && ok;
        main.Form().tbsMain = 1;
        main.Form().Changed("");
        ok = Save(main.Window(), folder + "/main-options.bmp") && ok;
        ::ShowWindow(main.Window(), SW_HIDE);
    }
    ProgressForm progress([] { return ExtractionRequest{}; }, toolkit);
    progress.timProcess.Enabled = false;
    progress.labFile = "scripts\\ai\\Bot.cs";
    progress.pbrProgress = 40;
    progress.labProgress = "40%";
    {
        win32ui::ProgressWindow window(progress, nullptr);
        progress.Changed("");
        ok = Save(window.Window(), folder + "/progress.bmp") && ok;
    }
    DetailsForm details(toolkit);
    details.Fill("Entities.vol", 1234567, 1700000000, 6, 1, 2, 3);
    {
        win32ui::DetailsWindow window(details, nullptr);
        ok = Save(window.Window(), folder + "/details.bmp") && ok;
    }
    AboutForm about;
    {
        win32ui::AboutWindow window(about, nullptr);
        about.Form_Load();
        ok = Save(window.Window(), folder + "/about.bmp") && ok;
    }
    SplashForm splash(60000);
    {
        win32ui::SplashWindow window(splash, nullptr);
        splash.Form_Load();
        ok = Save(window.Window(), folder + "/splash.bmp") && ok;
    }
    return ok ? 0 : 1;
}
