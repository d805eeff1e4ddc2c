#pragma once
// Real message boxes for the program's one message route.
#include "services/MessageBox.h"

namespace tarnwick {

class QtMessageSink : public MessageSink {
public:
    MsgAnswer Show(const MessageRequest& request) override;
    void Beep() override;
};

} // namespace tarnwick
