#pragma once
// Every message box and beep of the program goes through here, so that the
// window layer can show real boxes and tests can read and answer them.
#include <string>

namespace tarnwick {

enum class MsgButtons { OK, OKCancel, YesNo };
enum class MsgIcon { None, Critical, Question, Information };
// The numbers are the platform's answers (IDOK, IDCANCEL, IDYES, IDNO).
enum class MsgAnswer { OK = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageRequest {
    std::string text;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    std::string title = "Tarnwick";
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the box modally and returns the button pressed.
    virtual MsgAnswer Show(const MessageRequest& request) = 0;
    virtual void Beep() = 0;
};

// The sink in use; without one installed, boxes go to stderr and answer the
// first button (OK or Yes), and beeps ring the OS layer's bell.
MessageSink& Messages();
// Installs a sink (not owned); nullptr goes back to the default.
void SetMessageSink(MessageSink* sink);

// The program's title, used on every box.
inline constexpr const char* kProgramTitle = "Tarnwick";

// Shorthand: a box titled with the program's title.
MsgAnswer MsgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None);

} // namespace tarnwick
