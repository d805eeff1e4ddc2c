#pragma once
// A window's controls made from its layout table: each at its place in
// pixels for the screen's density, in the windows' font (Verdana 8.25 pt),
// with an id the window's WM_COMMAND names it by. Kinds that need more than
// a standard control (lists over a form's values, the tab strip, pages) are
// made by the window through `custom`. A frame's controls sit beside it on
// its own parent, at the frame's offset, so that their notifications reach
// the window.
#include "forms/ControlLayout.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::win32ui {

class LayoutControls {
public:
    // Makes the control of place `c` on `parent`; nullptr leaves it to the
    // standard kinds.
    using MakeCustom = std::function<HWND(const ControlPlace& c, HWND parent, const RECT& r, int id)>;

    // Sizes `window`'s inside to the layout and makes every control.
    LayoutControls(HWND window, const WindowLayout& layout, const MakeCustom& custom = {});
    ~LayoutControls();
    LayoutControls(const LayoutControls&) = delete;
    LayoutControls& operator=(const LayoutControls&) = delete;

    HWND Find(std::string_view name) const;
    // The controls Tab can reach, in the table's keyboard order (table
    // order where none was given), whether or not they can take the focus
    // now.
    const std::vector<HWND>& TabOrder() const { return tabOrder_; }
    // The name of the control with that id; "" for none.
    std::string NameOf(int id) const;
    bool IsNote(HWND control) const;
    int Dpi() const { return dpi_; }
    HFONT Font() const { return font_; }
    int Pixels(int twips) const { return TwipsToPixels(twips, dpi_); }

    // The windows' font (Verdana 8.25 pt) at `dpi`; the caller deletes it.
    static HFONT MakeFont(int dpi, bool bold, bool italic);
    // The screen's dots per inch.
    static int ScreenDpi();
    static constexpr int kFirstId = 100;

private:
    HWND MakeStandard(const ControlPlace& c, HWND parent, const RECT& r, int id) const;

    int dpi_;
    HFONT font_;
    HFONT noteFont_;
    std::map<std::string, HWND, std::less<>> controls_;
    std::map<int, std::string> names_;
    std::vector<HWND> tabOrder_;
};

} // namespace tarnwick::win32ui
