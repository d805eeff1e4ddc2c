#pragma once
// The forms' toolkit without any window: it records what the forms ask of
// it and answers from what the test set. A modal window's form runs as its
// window runs it: loaded, its timer fired at once. Dates come out as ISO
// text, so that a test can tell the date part from the time part.
#include "forms/ProgressForm.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "forms/Toolkit.h"
#include "forms/DetailsForm.h"

#include <ctime>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

class FakeToolkit : public Toolkit {
public:
    // Each window the forms had shown: "splash", "about", "details",
    // "progress"; onShow acts as the user once it is "open", before its
    // timer fires.
    std::vector<std::string> shown;
    std::function<void(Form& form)> onShow;
    void ShowSplash(SplashForm& form) override
    {
        Open("splash", form);
        form.Form_Load();
        if (form.timRelease.Enabled)
            form.timRelease_Timer();
    }
    void ShowAbout(AboutForm& form) override
    {
        Open("about", form);
        form.Form_Load();
    }
    void ShowDetails(DetailsForm& form) override { Open("details", form); }
    void ShowProgress(ProgressForm& form) override
    {
        form.Form_Load();
        Open("progress", form);
        if (form.timProcess.Enabled)
            form.timProcess_Timer();
    }

    // The pickers' titles and requests, answered from the queues ("" and
    // nothing, as cancelled, once they have run out).
    std::vector<std::string> folderTitles;
    std::deque<std::string> folders;
    std::vector<OpenFileRequest> fileRequests;
    std::deque<std::optional<std::string>> files;
    std::string PickFolder(const std::string& title) override
    {
        folderTitles.push_back(title);
        return Next(folders, std::string());
    }
    std::optional<std::string> PickFile(const OpenFileRequest& request) override
    {
        fileRequests.push_back(request);
        return Next(files, std::optional<std::string>());
    }

    int waits = 0; // hourglasses up now
    void SetWaitPointer(bool wait) override { waits += wait ? 1 : -1; }
    std::vector<std::string> clipboard; // every text, in order
    void SetClipboardText(const std::string& text) override { clipboard.push_back(text); }
    std::vector<MenuPlace> menuPlaces; // where each volume menu appeared
    void PopupVolumeMenu(MenuPlace place) override { menuPlaces.push_back(place); }

    std::string ShortDate(const std::tm& when) override { return Format("%Y-%m-%d", when); }
    std::string LongTime(const std::tm& when) override { return Format("%H:%M:%S", when); }

private:
    void Open(const char* window, Form& form)
    {
        shown.push_back(window);
        if (onShow)
            onShow(form);
    }
    template <class T> static T Next(std::deque<T>& queue, T none)
    {
        if (queue.empty())
            return none;
        T front = queue.front();
        queue.pop_front();
        return front;
    }
    static std::string Format(const char* format, const std::tm& when)
    {
        char text[64];
        return std::string(text, std::strftime(text, sizeof text, format, &when));
    }
};

} // namespace tarnwick::test
