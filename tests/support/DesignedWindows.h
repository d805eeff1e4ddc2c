#pragma once
// The program's windows as they were designed, typed out by hand from the
// design and never computed from the program's own layout tables: each
// window's frame, size and place, every control's position in twips and the
// keyboard order, the message boxes, the splash label's look. The Qt and the
// Win32 window tests each read their real windows into a ShownWindow and
// hold it against the same rows here, so neither toolkit nor table can drift.
#include "services/MessageBox.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::test {

enum class Frame {
    None,        // no title bar, no border (the splash, the progress window)
    FixedSingle, // a title bar over a border that does not resize
    FixedDialog, // a dialog's frame that does not resize
};

enum class CentredOn { Screen, Owner };

struct DesignedControl {
    const char* name;      // arrays as "lab(3)"
    const char* container; // "" for the window's client area
    int left, top, width, height; // twips
    int tab;           // the keyboard order; -1 where none was given
    bool takesFocus;   // a control the Tab key can reach
    bool enabled = true;
};

struct DesignedWindow {
    const char* name; // frmMain, frmDetails, ...
    const char* caption;
    int width, height; // the client area, twips
    Frame frame;
    bool titleBar, minimizeBox, maximizeBox, closeBox;
    bool inTaskBar;
    CentredOn centred;
    // Every control whose place was given in twips. The About window's
    // arrangement was given in words; AboutArrangement checks it.
    std::vector<DesignedControl> controls;
};

const std::vector<DesignedWindow>& DesignedWindows();
const DesignedWindow& Designed(std::string_view name);

// What a toolkit's real window shows, in pixels.
struct ShownControl {
    std::string name;
    int left = 0, top = 0, width = 0, height = 0; // relative to its container's client area
    bool enabled = true;
};

struct ShownWindow {
    std::string caption;
    int width = 0, height = 0; // client area
    bool resizable = false, titleBar = false, dialogFrame = false;
    bool minimizeBox = false, maximizeBox = false, closeBox = false;
    bool inTaskBar = false;
    // Centres of the window's frame and of the screen and the owner, when
    // the owner has been put off the screen's centre.
    int centreX = 0, centreY = 0, screenX = 0, screenY = 0, ownerX = 0, ownerY = 0;
    std::vector<ShownControl> controls;
};

// Every way `shown` differs from the design, one line each; empty when none.
// Twips become pixels at `dpi`, 15 twips a pixel at 96.
std::vector<std::string> Differences(const DesignedWindow& designed, const ShownWindow& shown, int dpi = 96);

// The About window's words: the pictures at the left, the name beside the
// small one, the version at the top right, the suite under the name, the
// description of about 4455 x 1215 twips in the lower half, OK at the
// bottom right. The controls are named labName, labVersion, labCompany,
// labDesc, cmdOK, picIcon (the small picture) and Image1 (the icon).
std::vector<std::string> AboutArrangement(const ShownWindow& shown, int dpi = 96);

// The controls that Tab visits from the first, in order, once round: those
// that take the focus, are enabled and stand on the page in front
// (`shown` says whether a container is visible).
std::vector<std::string> TabVisits(const DesignedWindow& designed, const std::function<bool(const char* container)>& shown);

// The message boxes the program shows, by what they say.
enum class BoxButtons { OK, OKCancel, YesNo };
enum class BoxIcon { None, Critical, Question, Information };
struct DesignedBox {
    const char* what; // the situation
    BoxButtons buttons;
    BoxIcon icon;
};
const std::vector<DesignedBox>& DesignedBoxes();
// The request the program must make for a designed box.
MsgButtons RequestedButtons(BoxButtons buttons);
MsgIcon RequestedIcon(BoxIcon icon);

// The splash's version label.
struct DesignedLabelLook {
    const char* family;
    double points;
    bool bold;
    int red, green, blue;
    bool transparent;
    bool rightAligned;
};
DesignedLabelLook SplashVersionLook();

} // namespace tarnwick::test
