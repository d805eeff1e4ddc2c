#pragma once
// What only the toolkit can do, in Win32: the small windows shown modally
// over their forms, the shell's pickers, the hourglass, the clipboard, the
// volume list's menu and the user's date and time formats.
#include "forms/Toolkit.h"

#include <windows.h>

#include <functional>

namespace tarnwick::win32ui {

class Win32Toolkit : public Toolkit {
public:
    ~Win32Toolkit() override;

    // The window the modal windows, pickers and menu belong to.
    HWND owner = nullptr;
    // Pops the volume list's menu up (set by the main window).
    std::function<void(MenuPlace place)> VolumeMenu;

    void ShowSplash(SplashForm& form) override;
    void ShowAbout(AboutForm& form) override;
    void ShowDetails(DetailsForm& form) override;
    void ShowProgress(ProgressForm& form) override;
    std::string PickFolder(const std::string& title) override;
    std::optional<std::string> PickFile(const OpenFileRequest& request) override;
    void SetWaitPointer(bool wait) override;
    void SetClipboardText(const std::string& text) override;
    void PopupVolumeMenu(MenuPlace place) override;
    std::string ShortDate(const std::tm& when) override;
    std::string LongTime(const std::tm& when) override;

    // This toolkit's waits; the hourglass shows while any toolkit has one.
    int Waits() const { return waits_; }

private:
    int waits_ = 0;
};

} // namespace tarnwick::win32ui
