#include "win32ui/Win32MessageSink.h"

#include "win32ui/WinText.h"

namespace tarnwick::win32ui {

UINT Win32MessageSink::Style(const MessageRequest& request)
{
    UINT style = MB_SETFOREGROUND;
    switch (request.buttons) {
    case MsgButtons::OK: style |= MB_OK; break;
    case MsgButtons::OKCancel: style |= MB_OKCANCEL; break;
    case MsgButtons::YesNo: style |= MB_YESNO; break;
    }
    switch (request.icon) {
    case MsgIcon::None: break;
    case MsgIcon::Critical: style |= MB_ICONERROR; break;
    case MsgIcon::Question: style |= MB_ICONQUESTION; break;
    case MsgIcon::Information: style |= MB_ICONINFORMATION; break;
    }
    return style;
}

MsgAnswer Win32MessageSink::Show(const MessageRequest& request)
{
    const int answer = ::MessageBoxW(owner && ::IsWindow(owner) ? owner : nullptr, Wide(request.text).c_str(),
                                     Wide(request.title).c_str(), Style(request));
    return answer == 0 ? MsgAnswer::Cancel : static_cast<MsgAnswer>(answer);
}

void Win32MessageSink::Beep() { ::MessageBeep(MB_OK); }

} // namespace tarnwick::win32ui
