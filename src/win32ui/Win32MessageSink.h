#pragma once
// Message boxes as Win32 shows them, titled with the program's title, and
// the beep as the system's default sound.
#include "services/MessageBox.h"

#include <windows.h>

namespace tarnwick::win32ui {

class Win32MessageSink : public MessageSink {
public:
    // The window the boxes belong to; none: the boxes stand alone.
    HWND owner = nullptr;

    MsgAnswer Show(const MessageRequest& request) override;
    void Beep() override;

    // The MessageBox style for a request's buttons and icon.
    static UINT Style(const MessageRequest& request);
};

} // namespace tarnwick::win32ui
