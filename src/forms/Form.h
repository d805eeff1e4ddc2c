#pragma once
// A window's form: the values of its controls and its handlers, without any
// window toolkit. The toolkit's window sets the two hooks, draws a control
// again from the form when told it changed, and calls the handlers when the
// user acts.
#include <functional>
#include <string>

namespace tarnwick {

// Check boxes keep the classic three states and their stored numbers.
enum class CheckState { Unchecked = 0, Checked = 1, Grayed = 2 };

// A timer as a control: the window runs it while Enabled, one tick every
// Interval milliseconds, and calls the form's handler on each.
struct TimerControl {
    int Interval = 0;
    bool Enabled = false;
};

class Form {
public:
    virtual ~Form() = default;

    // Set by the window: draw the named control again from the form's
    // values ("" for the whole window). Forced: a form that holds the thread
    // (the progress window) is seen changing only through it.
    std::function<void(const std::string& control)> Changed;
    // Set by the window: close it (the form has unloaded).
    std::function<void()> CloseWindow;

protected:
    void Show(const std::string& control) const
    {
        if (Changed)
            Changed(control);
    }
    void Close() const
    {
        if (CloseWindow)
            CloseWindow();
    }
};

} // namespace tarnwick
