#pragma once
// Where a window's controls sit and what they say, as the windows were
// designed: positions in twips (15 to a pixel at 96 dpi), each relative to
// the control it sits on, and the keyboard order. Both window toolkits build
// from these tables, so the Qt and the Win32 windows cannot drift apart.
#include <span>
#include <string_view>

namespace tarnwick {

enum class TextAlign { Left, Right, Center };

enum class ControlKind {
    Label,      // plain text
    Note,       // grey italic text
    Button,
    CheckBox,
    TextBox,
    ComboBox,   // a drop-down list
    DriveList,
    FolderList,
    FileList,
    NameList,   // sorted, several selectable, each click toggling
    TabStrip,
    Page,       // a picture box holding one tab's controls
    Frame,      // a captioned group
    ProgressBar,
    Picture,
};

struct ControlPlace {
    const char* name;      // as the code names it; arrays as "lab(3)"
    ControlKind kind;
    const char* caption;   // "" for none; "&" marks the access key
    const char* container; // the control it sits on; "" for the window
    int left, top, width, height;
    // Its place in the keyboard order, counted over the whole window as the
    // windows were designed (labels and pages hold places too); -1: none.
    int tab = -1;
    // A control the user cannot use (the palette choice does nothing yet,
    // and says so by being grey).
    bool enabled = true;
    // Where a label's text stands within it.
    TextAlign align = TextAlign::Left;
};

struct WindowLayout {
    const char* caption;
    int width, height; // the window's outer size, twips
    std::span<const ControlPlace> controls;
};

// The control of that name; nullptr when the window has none.
const ControlPlace* FindControl(const WindowLayout& layout, std::string_view name);

// 15 twips are one pixel at 96 dots per inch; other densities scale.
constexpr int TwipsToPixels(int twips, int dpi = 96) { return (twips * dpi / 96 + 7) / 15; }

} // namespace tarnwick
