#pragma once
// What the window tests share: a message route that records and answers
// boxes, a volume maker, and a way to answer modal windows.
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

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
        events.push_back("box");
        if (onShow)
            onShow(r);
        if (answers.empty())
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::OK;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void Beep() override
    {
        ++beeps;
        events.push_back("beep");
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const auto& r : shown)
            t.push_back(r.text);
        return t;
    }

    std::vector<MessageRequest> shown;
    std::vector<std::string> events;
    std::deque<MsgAnswer> answers;
    std::function<void(const MessageRequest&)> onShow;
    int beeps = 0;
};

// A volume of the given names (each holding its own name as data).
inline void MakeVolume(const std::string& path, const std::vector<std::string>& names)
{
    VolumeWriter w;
    for (const std::string& n : names)
        w.Add(n, "data of " + n);
    WriteFile(path, w.Build());
}

// Runs `act` on the next modal window once it is up, then closes it.
inline void WhenModal(std::function<void(QWidget*)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            act(w);
            if (w->isVisible())
                w->close();
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// Options for a window living in a temporary program folder, with the
// real extractor configured unless told otherwise.
inline StartupOptions TestOptions(const TempDir& dir, const std::string& settings)
{
    StartupOptions o;
    o.programFolder = dir.Path();
    o.settingsPath = dir / "cairnix.ini";
    o.splashMilliseconds = 50;
    WriteFile(o.settingsPath, settings);
    return o;
}

inline std::string SettingsWithExtractor(const std::string& more = {})
{
    return "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\n" + more;
}

} // namespace tarnwick::test
