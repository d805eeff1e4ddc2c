#pragma once
// The forms' toolkit without any window: it records what the forms ask of
// it, and the user cancels every picker. Dates come out as ISO text, so
// that a test can tell the date part from the time part.
#include "platform/Toolkit.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

class FakeToolkit : public Toolkit {
public:
    std::vector<std::string> shown; // "splash", "about", "details", "progress"
    void ShowSplash(SplashForm&) override { shown.push_back("splash"); }
    void ShowAbout(AboutForm&) override { shown.push_back("about"); }
    void ShowDetails(DetailsForm&) override { shown.push_back("details"); }
    void ShowProgress(ProgressForm&) override { shown.push_back("progress"); }

    std::vector<std::string> picks; // the pickers' titles
    std::string PickFolder(const std::string& title) override { return picks.push_back(title), std::string(); }
    std::optional<std::string> PickFile(const OpenFileRequest& request) override
    {
        return picks.push_back(request.title), std::nullopt;
    }

    int waits = 0; // hourglasses up now
    void SetWaitPointer(bool wait) override { waits += wait ? 1 : -1; }
    std::vector<std::string> clipboard; // every text, in order
    void SetClipboardText(const std::string& text) override { clipboard.push_back(text); }
    int volumeMenus = 0;
    void PopupVolumeMenu() override { ++volumeMenus; }

    std::string ShortDate(const std::tm& when) override { return Format("%Y-%m-%d", when); }
    std::string LongTime(const std::tm& when) override { return Format("%H:%M:%S", when); }

private:
    static std::string Format(const char* format, const std::tm& when)
    {
        char text[64];
        return std::string(text, std::strftime(text, sizeof text, format, &when));
    }
};

} // namespace tarnwick::test
