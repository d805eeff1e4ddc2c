#pragma once
// The splash window's form: the version over the picture for a fixed time
// at start-up; the window closes when its timer fires.
#include "forms/ControlLayout.h"
#include "forms/Form.h"

#include <string>

namespace tarnwick {

class SplashForm : public Form {
public:
    static constexpr int kReleaseMilliseconds = 2551;

    explicit SplashForm(int releaseMilliseconds = kReleaseMilliseconds);

    static const WindowLayout& Layout();

    std::string labVersion; // UTF-8
    // Off until the window has opened: the time counts from when it shows.
    TimerControl timRelease;

    void Form_Load();
    void timRelease_Timer();
};

} // namespace tarnwick
