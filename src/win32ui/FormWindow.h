#pragma once
// A top-level Win32 window made from a layout table, over one form: it
// routes its controls' notifications (also those of controls on its pages)
// to the window class, runs the form's timers and closes when the form asks.
#include "forms/Form.h"
#include "win32ui/LayoutControls.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace tarnwick::win32ui {

class FormWindow {
public:
    virtual ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Window() const { return hwnd_; }
    const LayoutControls& Controls() const { return *controls_; }
    HWND Control(const std::string& name) const { return controls_->Find(name); }
    // Shows the window and returns once it has closed; `owner` is disabled
    // meanwhile.
    void RunModal(HWND owner);
    bool Closed() const { return hwnd_ == nullptr; }

    // The class of a page: a plain child that hands its controls'
    // notifications on to the top-level window.
    static const wchar_t* PageClass();

protected:
    // Where the window opens: the main window and the splash in the middle
    // of the screen, the windows they open over their owner.
    enum class Centre { OnScreen, OnOwner };

    explicit FormWindow(Form& form);
    // Makes the window and its controls; `custom` as LayoutControls takes it.
    void Create(const WindowLayout& layout, DWORD style, DWORD exStyle, HWND owner, Centre centre,
                const LayoutControls::MakeCustom& custom = {});
    // Destroys the window; a modal loop then ends.
    void Destroy();

    // A control's notification (WM_COMMAND), by the control's name.
    virtual void Command(const std::string& /*name*/, int /*code*/, HWND /*control*/) {}
    // Draw a control again from the form ("" for all).
    virtual void Draw(const std::string& control) = 0;
    // The close box or Alt+F4: false keeps the window open.
    virtual bool QueryClose() { return true; }
    virtual LRESULT Message(UINT msg, WPARAM wp, LPARAM lp);

    // The form's OK handler, called when "cmdOK" is pressed; Enter presses
    // it from anywhere when it is the default button, Esc when it is the
    // cancel button. Otherwise Enter presses only the focused button.
    std::function<void()> ok_;
    bool okIsDefault_ = false, okIsCancel_ = false;

    // Runs the form's timer `timer` as the window's timer `id` while it is
    // enabled with an interval; `tick` is the form's handler.
    void FollowTimer(UINT_PTR id, const TimerControl& timer);
    virtual void Tick(UINT_PTR /*id*/) {}

    Form& form_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<LayoutControls> controls_;

private:
    // Tab and Shift+Tab go by the table's keyboard order, not by the
    // z-order IsDialogMessage walks: the main window's tab strip lies under
    // its pages yet comes late in the order.
    void FollowTabOrder();
    void MoveFocus(HWND from, bool back);
    // The control the focus goes to when the window is activated.
    HWND FocusOnActivation() const;
    static bool TakesFocus(HWND control);
    static LRESULT CALLBACK TabStopProc(HWND control, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    HWND lastFocus_ = nullptr;

    // Puts the window in the middle of `over`, or of the screen for none.
    void PlaceCentred(HWND over);
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

} // namespace tarnwick::win32ui
