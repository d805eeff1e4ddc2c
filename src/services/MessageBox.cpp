#include "services/MessageBox.h"
#include "os/System.h"

#include <cstdio>

namespace tarnwick {

namespace {
class ConsoleSink final : public MessageSink {
public:
    MsgAnswer Show(const MessageRequest& r) override
    {
        std::fprintf(stderr, "%s: %s\n", r.title.c_str(), r.text.c_str());
        return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::OK;
    }
    void Beep() override { os::Beep(); }
};

ConsoleSink g_console;
MessageSink* g_sink = nullptr;
} // namespace

MessageSink& Messages()
{
    return g_sink ? *g_sink : g_console;
}

void SetMessageSink(MessageSink* sink)
{
    g_sink = sink;
}

MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon)
{
    return Messages().Show({text, buttons, icon, kProgramTitle});
}

} // namespace tarnwick
