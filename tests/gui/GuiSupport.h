#pragma once
// Shared by the window tests: a message route that records and answers boxes.
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
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

inline void MakeVolume(const std::string& path, const std::vector<std::string>& names)
{
    VolumeWriter w;
    for (const std::string& n : names)
        w.Add(n, "data of " + n);
    WriteFile(path, w.Build());
}

inline StartupOptions TestOptions(const TempDir& dir, const std::string& settings)
{
    StartupOptions o;
    o.programFolder = dir.Path();
    o.settingsPath = dir / "cairnix.ini";
    o.splashMilliseconds = 20;
    WriteFile(o.settingsPath, settings);
    return o;
}

// A started window whose extractor dialog only counts how often it opened.
struct Started {
    std::unique_ptr<frmMain> window;
    bool loaded = false;
    int extractorDialogs = 0;
};

inline std::unique_ptr<Started> Start(const StartupOptions& o)
{
    auto s = std::make_unique<Started>();
    s->window = std::make_unique<frmMain>(o);
    s->window->PickExtractor = [n = &s->extractorDialogs](const std::string&) { return ++*n, std::optional<std::string>(); };
    s->loaded = s->window->Form_Load();
    return s;
}

// A started window listing dir/v/Base.vol (holding `names`), extracting into
// a fresh `out` with the real extractor; the caller selects.
inline std::unique_ptr<Started> OpenListing(const TempDir& dir, const std::string& out,
                                            const std::vector<std::string>& names)
{
    std::filesystem::remove_all(out);
    WriteFile(out + "/.keep", "");
    MakeVolume(dir / "v/Base.vol", names);
    StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + out + "\n");
    o.commandTail = dir / "v/Base.vol";
    return Start(o);
}

} // namespace tarnwick::test
