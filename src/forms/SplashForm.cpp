#include "forms/SplashForm.h"

#include "forms/ProgramVersion.h"

namespace tarnwick {

namespace {

// The 400 x 200 pixel picture fills the window, whose client is a pixel row
// shorter (2985 twips, as designed): the bottom row of the hills is cut.
// The version sits on it at the top right.
const ControlPlace kControls[] = {
    {"imgSplash", ControlKind::Picture, "", "", 0, 0, 6000, 2985},
    {"labVersion", ControlKind::Label, "...", "", 4800, 120, 1095, 255, -1, true, TextAlign::Right},
};

const WindowLayout kLayout{"", 6000, 2985, kControls};

} // namespace

const WindowLayout& SplashForm::Layout() { return kLayout; }

SplashForm::SplashForm(int releaseMilliseconds)
    : labVersion(FindControl(kLayout, "labVersion")->caption), timRelease{releaseMilliseconds, false}
{
}

void SplashForm::Form_Load()
{
    labVersion = ProgramVersionText();
    // Drawn at once: the window is still opening when this runs.
    Show("labVersion");
    timRelease.Enabled = true;
    Show("timRelease");
}

void SplashForm::timRelease_Timer()
{
    timRelease.Enabled = false;
    Show("timRelease");
    Close();
}

} // namespace tarnwick
