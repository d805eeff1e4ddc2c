// Tells where a control of a running program's window is on the screen, so
// that a check can click it with the real mouse (xdotool) as a user would.
//   control_rect TITLE CONTROL [SECONDS]
// TITLE is a visible top-level window's caption; CONTROL a child's text
// ("&OK") or class:NAME for the first child of a window class. Prints
// "LEFT TOP RIGHT BOTTOM" in screen pixels; waits up to SECONDS (default 30)
// for the window; exits 1 when it or the control is not found.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    std::wstring title, text, className;
    HWND window = nullptr, control = nullptr;
};

std::wstring Wide(const char* s)
{
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        ::MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
    return w;
}

std::wstring TextOf(HWND w, bool ofClass)
{
    wchar_t buffer[512] = {};
    if (ofClass)
        ::GetClassNameW(w, buffer, 512);
    else
        ::GetWindowTextW(w, buffer, 512);
    return buffer;
}

BOOL CALLBACK EachChild(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<Search*>(p);
    const bool ofClass = !s->className.empty();
    if (TextOf(w, ofClass) == (ofClass ? s->className : s->text)) {
        s->control = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK EachWindow(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<Search*>(p);
    if (!::IsWindowVisible(w) || TextOf(w, false) != s->title)
        return TRUE;
    // The splash and the main window may share a caption: the one holding
    // the control is meant.
    ::EnumChildWindows(w, EachChild, p);
    if (!s->control)
        return TRUE;
    s->window = w;
    return FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: control_rect TITLE CONTROL [SECONDS]\n");
        return 2;
    }
    Search s;
    s.title = Wide(argv[1]);
    const std::string control = argv[2];
    if (control.rfind("class:", 0) == 0)
        s.className = Wide(control.c_str() + 6);
    else
        s.text = Wide(argv[2]);
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 30;
    for (int waited = 0; waited <= seconds * 10; ++waited) {
        s.control = nullptr;
        ::EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&s));
        if (s.window)
            break;
        ::Sleep(100);
    }
    RECT r;
    if (!s.control || !::GetWindowRect(s.control, &r)) {
        std::fprintf(stderr, "control_rect: no %s in a window titled %s\n", argv[2], argv[1]);
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
}
