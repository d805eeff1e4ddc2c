#pragma once
// What only a window toolkit can do for the windows' forms: show another
// window modally, pick a folder or a file, the hourglass, the clipboard and
// the volume list's pop-up menu. Message boxes and the beep go through
// MessageSink. The Qt windows and the Win32 windows each implement it once;
// the forms' tests answer it with a fake.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

class AboutForm;
class DetailsForm;
class ProgressForm;
class SplashForm;

struct FileFilter {
    std::string label;    // "Executable Files (*.exe)"
    std::string patterns; // "*.exe"; several separated by ";"
};

struct OpenFileRequest {
    std::string title;
    std::vector<FileFilter> filters;
    std::string defaultSuffix; // "exe", or "" for none
    std::string folder;        // where the dialog opens
    std::string suggested;     // the file name offered
};

// Where the volume list's menu appears: at the pointer for a right click,
// at the selected entry when the keyboard asked (the Menu key, Shift+F10).
enum class MenuPlace { Pointer, SelectedEntry };

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Each shows its form's window modally and returns once it has closed.
    // The window calls the form's Form_Load when it opens and closes when
    // the form asks (Form::CloseWindow).
    virtual void ShowSplash(SplashForm& form) = 0;
    virtual void ShowAbout(AboutForm& form) = 0;
    virtual void ShowDetails(DetailsForm& form) = 0;
    virtual void ShowProgress(ProgressForm& form) = 0;

    // The folder picker, rooted at the drives; "" when cancelled.
    virtual std::string PickFolder(const std::string& title) = 0;
    // The open-file dialog; nothing when cancelled.
    virtual std::optional<std::string> PickFile(const OpenFileRequest& request) = 0;

    // The hourglass while `wait` is true; calls nest.
    virtual void SetWaitPointer(bool wait) = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    // The volume list's menu ("&Properties").
    virtual void PopupVolumeMenu(MenuPlace place) = 0;

    // The system's short date and long time for a local time, as the user
    // set them.
    virtual std::string ShortDate(const std::tm& when) = 0;
    virtual std::string LongTime(const std::tm& when) = 0;
};

// Holds the hourglass for a scope.
class WaitPointer {
public:
    explicit WaitPointer(Toolkit& toolkit) : toolkit_(toolkit) { toolkit_.SetWaitPointer(true); }
    ~WaitPointer() { toolkit_.SetWaitPointer(false); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

private:
    Toolkit& toolkit_;
};

} // namespace tarnwick
