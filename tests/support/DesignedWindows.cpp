#include "support/DesignedWindows.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace tarnwick::test {

namespace {

constexpr const char* kWindow = "";
constexpr const char* kBrowser = "picBase(0)";
constexpr const char* kOptions = "picBase(1)";
constexpr const char* kBinary = "frmDetails";
constexpr bool kFocus = true, kNoFocus = false, kDisabled = false;

std::vector<DesignedControl> MainControls()
{
    return {
        {"tbsMain", kWindow, 0, 0, 6975, 8655, 19, kFocus},
        {"picBase(0)", kWindow, 120, 480, 6735, 8055, 20, kNoFocus},
        {"picBase(1)", kWindow, 120, 360, 6735, 8175, 21, kNoFocus},
        {"lab(0)", kBrowser, 120, 120, 615, 255, 22, kNoFocus},
        {"drvMain", kBrowser, 840, 120, 2535, 315, 6, kFocus},
        {"lab(1)", kBrowser, 120, 480, 855, 255, 23, kNoFocus},
        {"dirMain", kBrowser, 120, 720, 3255, 3015, 7, kFocus},
        {"lab(2)", kBrowser, 120, 3840, 3255, 255, 24, kNoFocus},
        {"filVolumes", kBrowser, 120, 4080, 3255, 2820, 8, kFocus},
        {"lab(4)", kBrowser, 3480, 120, 2415, 255, 26, kNoFocus},
        {"lstData", kBrowser, 3480, 360, 3015, 6105, 0, kFocus},
        {"cmdSelAll", kBrowser, 3480, 6480, 1455, 375, 1, kFocus},
        {"cmdDelAll", kBrowser, 5040, 6480, 1455, 375, 2, kFocus},
        {"lab(3)", kBrowser, 120, 6960, 1455, 255, 25, kNoFocus},
        {"txtPath", kBrowser, 1560, 6960, 4215, 285, 3, kFocus},
        {"cmdBrowse", kBrowser, 5880, 6960, 735, 255, 4, kFocus},
        {"chkOverwrite", kBrowser, 120, 7320, 3135, 255, 9, kFocus},
        {"chkPHX", kBrowser, 120, 7560, 3375, 255, 10, kFocus, kDisabled},
        {"cboPHX", kBrowser, 3480, 7560, 1335, 315, 11, kFocus, kDisabled},
        {"lab(8)", kBrowser, 240, 7800, 3255, 255, 30, kNoFocus},
        {"cmdExtract", kBrowser, 5040, 7680, 1695, 375, 5, kFocus},
        {"lab(5)", kOptions, 0, 120, 2055, 255, 29, kNoFocus},
        {"txtExtractPath", kOptions, 2160, 120, 3735, 285, 12, kFocus},
        {"cmdExtractBrowse", kOptions, 6000, 120, 495, 255, 13, kFocus},
        {"lab(6)", kOptions, 0, 480, 2055, 255, 27, kNoFocus},
        {"txtDefSearchPath", kOptions, 2160, 480, 3735, 285, 14, kFocus},
        {"cmdDefSearchBrowse", kOptions, 6000, 480, 495, 255, 15, kFocus},
        {"lab(7)", kOptions, 120, 840, 4455, 255, 28, kNoFocus},
        {"chkFileSystem", kOptions, 120, 1080, 2895, 255, 31, kFocus},
        {"lab(9)", kOptions, 120, 1320, 6615, 255, 32, kNoFocus},
        {"chkSplash", kOptions, 120, 1560, 2055, 255, 16, kFocus},
        {"cmdAssociate", kOptions, 0, 1920, 3975, 375, 17, kFocus},
        {"cmdAbout", kOptions, 5400, 7680, 1215, 375, 18, kFocus},
    };
}

std::vector<DesignedControl> DetailsControls()
{
    return {
        {"lab(0)", kWindow, 120, 120, 855, 255, -1, kNoFocus},
        {"labName", kWindow, 960, 120, 2895, 255, -1, kNoFocus},
        {"lab(1)", kWindow, 120, 360, 975, 255, -1, kNoFocus},
        {"labSize", kWindow, 1080, 360, 2775, 255, -1, kNoFocus},
        {"lab(2)", kWindow, 120, 600, 855, 255, -1, kNoFocus},
        {"labDate", kWindow, 1080, 600, 2775, 255, -1, kNoFocus},
        {"lab(3)", kWindow, 120, 840, 855, 255, -1, kNoFocus},
        {"labFileCount", kWindow, 1080, 840, 2775, 255, -1, kNoFocus},
        {"frmDetails", kWindow, 120, 1200, 2775, 1095, -1, kNoFocus},
        {"lab(4)", kBinary, 120, 240, 615, 255, -1, kNoFocus},
        {"labPVOL", kBinary, 1080, 240, 1455, 255, -1, kNoFocus},
        {"lab(5)", kBinary, 120, 480, 615, 255, -1, kNoFocus},
        {"labVOLS", kBinary, 1080, 480, 1455, 255, -1, kNoFocus},
        {"lab(6)", kBinary, 120, 720, 615, 255, -1, kNoFocus},
        {"labVOLI", kBinary, 1080, 720, 1455, 255, -1, kNoFocus},
        {"cmdOK", kWindow, 3000, 1920, 975, 375, -1, kFocus},
    };
}

std::vector<DesignedControl> ProgressControls()
{
    return {
        {"lab", kWindow, 240, 120, 4215, 255, -1, kNoFocus},
        {"labFile", kWindow, 240, 360, 4215, 255, -1, kNoFocus},
        {"pbrProgress", kWindow, 240, 720, 3735, 255, -1, kNoFocus},
        {"labProgress", kWindow, 3960, 720, 615, 255, -1, kNoFocus},
    };
}

std::vector<DesignedWindow> MakeWindows()
{
    // name, caption, client width and height, frame, title bar, minimize,
    // maximize, close box, task bar, centred on.
    return {
        {"frmMain", "Tarnwick", 6975, 8655, Frame::FixedSingle, true, false, false, true, true, CentredOn::Screen,
         MainControls()},
        {"frmDetails", "Volume Details", 4095, 2415, Frame::FixedDialog, true, false, false, true, false,
         CentredOn::Owner, DetailsControls()},
        {"frmProgress", "", 4575, 1095, Frame::FixedDialog, false, false, false, false, false, CentredOn::Owner,
         ProgressControls()},
        {"frmSplash", "", 6000, 2985, Frame::None, false, false, false, false, false, CentredOn::Screen,
         {{"labVersion", kWindow, 4800, 120, 1095, 255, -1, kNoFocus}}},
        {"frmAbout", "About Tarnwick", 5850, 3330, Frame::FixedDialog, true, false, false, true, false,
         CentredOn::Owner, {}},
    };
}

int Pixels(int twips, int dpi) { return (twips * dpi / 96 + 7) / 15; }

const ShownControl* FindShown(const ShownWindow& shown, std::string_view name)
{
    for (const ShownControl& c : shown.controls)
        if (c.name == name)
            return &c;
    return nullptr;
}

std::string Yes(bool b) { return b ? "yes" : "no"; }

void Expect(std::vector<std::string>& out, const std::string& what, const std::string& want, const std::string& got)
{
    if (want != got)
        out.push_back(what + ": designed " + want + ", shown " + got);
}

std::string Rect(int l, int t, int w, int h)
{
    return std::to_string(l) + "," + std::to_string(t) + " " + std::to_string(w) + "x" + std::to_string(h);
}

// Within two pixels: frames and title bars of different heights shift a
// centre by a pixel or so.
bool Near(int a, int b) { return std::abs(a - b) <= 2; }

} // namespace

const std::vector<DesignedWindow>& DesignedWindows()
{
    static const std::vector<DesignedWindow> windows = MakeWindows();
    return windows;
}

const DesignedWindow& Designed(std::string_view name)
{
    for (const DesignedWindow& w : DesignedWindows())
        if (name == w.name)
            return w;
    throw std::out_of_range(std::string(name) + " was not designed");
}

std::vector<std::string> Differences(const DesignedWindow& d, const ShownWindow& s, int dpi)
{
    std::vector<std::string> out;
    const std::string w = d.name;
    Expect(out, w + " caption", d.caption, s.caption);
    Expect(out, w + " client area", Rect(0, 0, Pixels(d.width, dpi), Pixels(d.height, dpi)),
           Rect(0, 0, s.width, s.height));
    Expect(out, w + " resizable", "no", Yes(s.resizable));
    Expect(out, w + " title bar", Yes(d.titleBar), Yes(s.titleBar));
    if (d.titleBar)
        Expect(out, w + " dialog frame", Yes(d.frame == Frame::FixedDialog), Yes(s.dialogFrame));
    Expect(out, w + " minimize button", Yes(d.minimizeBox), Yes(s.minimizeBox));
    Expect(out, w + " maximize button", Yes(d.maximizeBox), Yes(s.maximizeBox));
    Expect(out, w + " close button", Yes(d.closeBox), Yes(s.closeBox));
    Expect(out, w + " in the task bar", Yes(d.inTaskBar), Yes(s.inTaskBar));
    const bool onScreen = Near(s.centreX, s.screenX) && Near(s.centreY, s.screenY);
    const bool onOwner = Near(s.centreX, s.ownerX) && Near(s.centreY, s.ownerY);
    Expect(out, w + " centred on", d.centred == CentredOn::Screen ? "the screen" : "its owner",
           onOwner && !onScreen ? "its owner" : onScreen && !onOwner ? "the screen" : "neither");
    for (const DesignedControl& c : d.controls) {
        const ShownControl* got = FindShown(s, c.name);
        const std::string what = w + " " + c.name;
        if (!got) {
            out.push_back(what + ": not shown");
            continue;
        }
        Expect(out, what, Rect(Pixels(c.left, dpi), Pixels(c.top, dpi), Pixels(c.width, dpi), Pixels(c.height, dpi)),
               Rect(got->left, got->top, got->width, got->height));
        Expect(out, what + " enabled", Yes(c.enabled), Yes(got->enabled));
    }
    return out;
}

std::vector<std::string> AboutArrangement(const ShownWindow& s, int dpi)
{
    std::vector<std::string> out;
    const char* names[] = {"picIcon", "labName", "labVersion", "labCompany", "Image1", "labDesc", "cmdOK"};
    for (const char* name : names)
        if (!FindShown(s, name))
            out.push_back(std::string("frmAbout ") + name + ": not shown");
    if (!out.empty())
        return out;
    const ShownControl &pic = *FindShown(s, "picIcon"), &name = *FindShown(s, "labName"),
                       &version = *FindShown(s, "labVersion"), &company = *FindShown(s, "labCompany"),
                       &icon = *FindShown(s, "Image1"), &desc = *FindShown(s, "labDesc"), &ok = *FindShown(s, "cmdOK");
    const auto check = [&out](bool holds, const char* rule) {
        if (!holds)
            out.push_back(std::string("frmAbout: ") + rule);
    };
    const int third = s.width / 3;
    check(pic.left < third && pic.top < s.height / 4 && pic.width == 32 && pic.height == 32,
          "the small picture is 32 x 32 at the top left");
    check(name.left >= pic.left + pic.width && name.top < pic.top + pic.height, "the name stands beside it");
    check(version.left + version.width > s.width - third && version.top < s.height / 4,
          "the version stands at the top right");
    check(company.top >= name.top + name.height && company.left == name.left, "the suite name stands under the name");
    check(icon.left < third && icon.top >= pic.top + pic.height && icon.width == 32 && icon.height == 32,
          "the icon is 32 x 32 at the left, below them");
    check(desc.width == Pixels(4455, dpi) && desc.height == Pixels(1215, dpi), "the description is 4455 x 1215 twips");
    check(desc.top >= s.height / 2 && desc.top + desc.height <= s.height, "the description is in the lower half");
    check(ok.left + ok.width > s.width - third && ok.top + ok.height > s.height - s.height / 4 &&
              ok.top >= desc.top,
          "OK stands at the bottom right");
    return out;
}

std::vector<std::string> TabVisits(const DesignedWindow& d, const std::function<bool(const char*)>& shown)
{
    std::vector<const DesignedControl*> order;
    for (const DesignedControl& c : d.controls)
        if (c.takesFocus && c.enabled && shown(c.container))
            order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tab < b->tab; });
    std::vector<std::string> names;
    for (const DesignedControl* c : order)
        names.push_back(c->name);
    return names;
}

const std::vector<DesignedBox>& DesignedBoxes()
{
    static const std::vector<DesignedBox> boxes{
        {"another copy is running", BoxButtons::OK, BoxIcon::Information},
        {"the command line names no file", BoxButtons::OK, BoxIcon::Critical},
        {"the command line names no volume", BoxButtons::OK, BoxIcon::Critical},
        {"the extractor was not located", BoxButtons::OKCancel, BoxIcon::Critical},
        {"Properties of a file that is not a volume", BoxButtons::OK, BoxIcon::None},
        {"a refused request", BoxButtons::OK, BoxIcon::Critical},
        {"an error of the job", BoxButtons::OK, BoxIcon::Critical},
        {"overwrite a file?", BoxButtons::YesNo, BoxIcon::Question},
    };
    return boxes;
}

MsgButtons RequestedButtons(BoxButtons b)
{
    return b == BoxButtons::OK ? MsgButtons::OK : b == BoxButtons::OKCancel ? MsgButtons::OKCancel : MsgButtons::YesNo;
}

MsgIcon RequestedIcon(BoxIcon i)
{
    return i == BoxIcon::Critical   ? MsgIcon::Critical
           : i == BoxIcon::Question ? MsgIcon::Question
           : i == BoxIcon::Information ? MsgIcon::Information
                                       : MsgIcon::None;
}

DesignedLabelLook SplashVersionLook() { return {"Verdana", 8.25, true, 255, 255, 255, true, true}; }

} // namespace tarnwick::test
