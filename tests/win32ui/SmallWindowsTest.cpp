// The small Win32 windows close as their forms say: OK (button, Enter, Esc)
// closes About and Details, the splash closes on its timer, the progress
// window refuses to close under its job.
#include "extraction/ExtractionRequest.h"
#include "forms/ProgressForm.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "win32ui/AboutWindow.h"
#include "win32ui/DetailsWindow.h"
#include "win32ui/ProgressWindow.h"
#include "win32ui/SplashWindow.h"
#include "support/FakeToolkit.h"
#include "forms/DetailsForm.h"
#include "win32ui/WindowSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tarnwick::test {
namespace {

TEST(Win32SmallWindows, CloseAsTheirFormsSay)
{
    FakeToolkit toolkit;
    struct Case {
        const char* what;
        std::function<std::unique_ptr<win32ui::FormWindow>()> make;
        std::function<void(win32ui::FormWindow&)> act;
        bool closed;
    };
    AboutForm about;
    DetailsForm details(toolkit);
    SplashForm splash(1);
    ProgressForm progress([] { return ExtractionRequest{}; }, toolkit);
    auto click = [](win32ui::FormWindow& w) { ::SendMessageW(w.Control("cmdOK"), BM_CLICK, 0, 0); };
    auto key = [](WORD id) {
        return [id](win32ui::FormWindow& w) { ::SendMessageW(w.Window(), WM_COMMAND, id, 0); };
    };
    auto makeAbout = [&] { return std::make_unique<win32ui::AboutWindow>(about, nullptr); };
    auto makeDetails = [&] { return std::make_unique<win32ui::DetailsWindow>(details, nullptr); };
    auto makeProgress = [&] { return std::make_unique<win32ui::ProgressWindow>(progress, nullptr); };
    const Case cases[] = {
        {"About's OK button", makeAbout, click, true},
        {"Enter in About", makeAbout, key(IDOK), true},
        {"Details' OK button", makeDetails, click, true},
        {"Esc in Details", makeDetails, key(IDCANCEL), true},
        {"the splash's timer",
         [&] {
             auto w = std::make_unique<win32ui::SplashWindow>(splash, nullptr);
             splash.Form_Load();
             return w;
         },
         [](win32ui::FormWindow&) { Pump(300); }, true},
        {"the close box over a job", makeProgress,
         [](win32ui::FormWindow& w) { ::SendMessageW(w.Window(), WM_CLOSE, 0, 0); }, false},
        {"Esc over a job", makeProgress, key(IDCANCEL), false},
    };
    for (const Case& c : cases) {
        const auto window = c.make();
        ::ShowWindow(window->Window(), SW_SHOW);
        c.act(*window);
        EXPECT_EQ(window->Closed(), c.closed) << c.what;
    }
}

} // namespace
} // namespace tarnwick::test
