#pragma once
// A message route that records every box and beep and answers the boxes
// from a script (Yes or OK once the script has run out).
#include "services/MessageBox.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick::test {

class ScriptedSink : public MessageSink {
public:
    ScriptedSink() { SetMessageSink(this); }
    ~ScriptedSink() override { SetMessageSink(nullptr); }
    MsgAnswer Show(const MessageRequest& r) override
    {
        shown.push_back(r);
        texts.push_back(r.text);
        events.push_back("box");
        if (onShow)
            onShow(r);
        if (answers.empty())
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::OK;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void Beep() override { events.push_back("beep"); }

    std::vector<MessageRequest> shown;
    std::vector<std::string> texts;
    std::vector<std::string> events; // "beep" and "box", in order
    std::deque<MsgAnswer> answers;
    std::function<void(const MessageRequest&)> onShow;
};

} // namespace tarnwick::test
