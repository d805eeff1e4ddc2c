// Tarnwick for Windows: the main window in Win32 over the same form the Qt
// program shows.
#include "win32ui/MainWindow.h"
#include "win32ui/Win32MessageSink.h"
#include "os/Instance.h"
#include "os/System.h"

#include <objbase.h>

#include <string>

namespace {

// What follows the program's own name on the command line, as the classic
// program received it: the program part ends at its closing quote or at the
// first blank.
std::string CommandTail(const char* line)
{
    std::string s = line ? line : "";
    std::size_t i = 0;
    if (!s.empty() && s[0] == '"') {
        const std::size_t close = s.find('"', 1);
        i = close == std::string::npos ? s.size() : close + 1;
    } else {
        while (i < s.size() && s[i] != ' ' && s[i] != '\t')
            ++i;
    }
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    tarnwick::os::RestrictLibrarySearch();
    // The one-instance test comes before anything else; the lock is held
    // until the process ends, however it ends.
    tarnwick::os::InstanceLock lock("tarnwick");
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    tarnwick::win32ui::Win32MessageSink sink;
    tarnwick::SetMessageSink(&sink);
    tarnwick::StartupOptions options;
    options.commandTail = CommandTail(::GetCommandLineA());
    options.anotherInstanceRunning = lock.Usable() && !lock.Acquired();

    int code = 0;
    {
        tarnwick::win32ui::MainWindow window(options);
        sink.owner = window.Window();
        if (window.Form_Load()) {
            ::ShowWindow(window.Window(), SW_SHOW);
            MSG msg;
            while (!window.Closed()) {
                const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
                if (got <= 0) {
                    code = got == 0 ? static_cast<int>(msg.wParam) : 1;
                    break;
                }
                if (!::IsDialogMessageW(window.Window(), &msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
        }
        sink.owner = nullptr;
    }
    tarnwick::SetMessageSink(nullptr);
    ::CoUninitialize();
    return code;
}
