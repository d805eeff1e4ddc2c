#pragma once
// For the forms' tests, which run without windows: a toolkit that records
// what it was asked, answers the pickers from queues and runs a modal
// window's form as its window would (loads it, fires its timer at once); a
// message route that records and answers boxes; started main forms.
#include "extraction/ProgressForm.h"
#include "mainwindow/AboutForm.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/SplashForm.h"
#include "platform/MessageBox.h"
#include "platform/Toolkit.h"
#include "support/TestFiles.h"
#include "volume/DetailsForm.h"
#include "volume/VolumeWriter.h"

#include <cstdio>
#include <filesystem>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

class FakeToolkit : public Toolkit {
public:
    void ShowSplash(SplashForm& form) override
    {
        calls.push_back("splash");
        form.Form_Load();
        form.timRelease_Timer();
    }
    void ShowAbout(AboutForm& form) override
    {
        calls.push_back("about");
        form.Form_Load();
    }
    void ShowDetails(DetailsForm& form) override
    {
        calls.push_back("details");
        details = {form.labName, form.labSize, form.labFileCount, form.labPVOL, form.labVOLS, form.labVOLI};
    }
    void ShowProgress(ProgressForm& form) override
    {
        calls.push_back("progress");
        progressWaited = waitDepth > 0;
        if (onProgress)
            onProgress(form);
        if (form.timProcess.Enabled)
            form.timProcess_Timer();
    }
    std::string PickFolder(const std::string& title) override
    {
        calls.push_back("folder:" + title);
        return Next(folders, std::string());
    }
    std::optional<std::string> PickFile(const OpenFileRequest& request) override
    {
        calls.push_back("file:" + request.title);
        lastFile = request;
        return Next(files, std::optional<std::string>());
    }
    void SetWaitPointer(bool wait) override { waitDepth += wait ? 1 : -1; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void PopupVolumeMenu() override { calls.push_back("menu"); }
    std::string ShortDate(const std::tm& t) override
    {
        char s[32];
        std::snprintf(s, sizeof s, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
        return s;
    }
    std::string LongTime(const std::tm& t) override
    {
        char s[32];
        std::snprintf(s, sizeof s, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
        return s;
    }

    std::vector<std::string> calls;
    std::deque<std::string> folders;
    std::deque<std::optional<std::string>> files;
    std::optional<OpenFileRequest> lastFile;
    // name, size, count, PVOL, VOLS, VOLI of the last details shown.
    std::vector<std::string> details;
    std::function<void(ProgressForm&)> onProgress;
    std::string clipboard;
    int waitDepth = 0;
    bool progressWaited = false;

private:
    template <typename T> static T Next(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T v = std::move(queue.front());
        queue.pop_front();
        return v;
    }
};

// Records every box and beep, in order, and answers boxes from a queue
// (else the first button: OK or Yes).
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

// A main form after Form_Load, with the toolkit it talks to.
struct StartedForm {
    FakeToolkit toolkit;
    std::unique_ptr<MainForm> form;
    bool loaded = false;
    MainForm* operator->() { return form.get(); }
};

inline std::unique_ptr<StartedForm> StartForm(const StartupOptions& o)
{
    auto s = std::make_unique<StartedForm>();
    s->form = std::make_unique<MainForm>(o, s->toolkit);
    s->loaded = s->form->Form_Load();
    return s;
}

// A started form listing dir/v/Base.vol (holding `names`), extracting into a
// fresh `out` with the real extractor; the caller selects.
inline std::unique_ptr<StartedForm> OpenListing(const TempDir& dir, const std::string& out,
                                                const std::vector<std::string>& names)
{
    std::filesystem::remove_all(out);
    WriteFile(out + "/.keep", "");
    MakeVolume(dir / "v/Base.vol", names);
    StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + out + "\n");
    o.commandTail = dir / "v/Base.vol";
    return StartForm(o);
}

} // namespace tarnwick::test
