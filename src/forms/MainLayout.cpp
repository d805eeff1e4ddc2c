// Where the main window's controls sit, in twips, and what they say.
#include "forms/MainForm.h"

#include <array>

namespace tarnwick {

namespace {

using K = ControlKind;
constexpr const char* kBrowser = "picBase(0)";
constexpr const char* kOptions = "picBase(1)";

// Containers before what they hold; the tab strip first, so that the pages
// lie over it. The keyboard order is the last number: the contents list
// first, then the Browser page's controls, the Options page's, the tabs.
constexpr std::array kControls{
    ControlPlace{"tbsMain", K::TabStrip, "&Browser|&Options", "", 0, 0, 6975, 8655, 19},
    ControlPlace{"picBase(0)", K::Page, "", "", 120, 480, 6735, 8055, 20},
    ControlPlace{"picBase(1)", K::Page, "", "", 120, 360, 6735, 8175, 21},
    ControlPlace{"lab(0)", K::Label, "Drive:", kBrowser, 120, 120, 615, 255, 22},
    ControlPlace{"drvMain", K::DriveList, "", kBrowser, 840, 120, 2535, 315, 6},
    ControlPlace{"lab(1)", K::Label, "Directory:", kBrowser, 120, 480, 855, 255, 23},
    ControlPlace{"dirMain", K::FolderList, "", kBrowser, 120, 720, 3255, 3015, 7},
    ControlPlace{"lab(2)", K::Label, "Available Volumes:", kBrowser, 120, 3840, 3255, 255, 24},
    ControlPlace{"filVolumes", K::FileList, "", kBrowser, 120, 4080, 3255, 2820, 8},
    ControlPlace{"lab(4)", K::Label, "Files contained in Volume:", kBrowser, 3480, 120, 2415, 255, 26},
    ControlPlace{"lstData", K::NameList, "", kBrowser, 3480, 360, 3015, 6105, 0},
    ControlPlace{"cmdSelAll", K::Button, "Select All", kBrowser, 3480, 6480, 1455, 375, 1},
    ControlPlace{"cmdDelAll", K::Button, "Deselect All", kBrowser, 5040, 6480, 1455, 375, 2},
    ControlPlace{"lab(3)", K::Label, "Extraction Path:", kBrowser, 120, 6960, 1455, 255, 25},
    ControlPlace{"txtPath", K::TextBox, "", kBrowser, 1560, 6960, 4215, 285, 3},
    ControlPlace{"cmdBrowse", K::Button, "...", kBrowser, 5880, 6960, 735, 255, 4},
    ControlPlace{"chkOverwrite", K::CheckBox, "Over&write Files without Prompt", kBrowser, 120, 7320, 3135, 255, 9},
    ControlPlace{"chkPHX", K::CheckBox, "Re&validate Phoenix Bitmaps Using:", kBrowser, 120, 7560, 3375, 255, 10, false},
    ControlPlace{"cboPHX", K::ComboBox, "", kBrowser, 3480, 7560, 1335, 315, 11, false},
    ControlPlace{"lab(8)", K::Note, "currently does NOT revalidate PBMPs.", kBrowser, 240, 7800, 3255, 255, 30},
    ControlPlace{"cmdExtract", K::Button, "&Extract", kBrowser, 5040, 7680, 1695, 375, 5},
    ControlPlace{"lab(5)", K::Label, "Location of Extract.exe:", kOptions, 0, 120, 2055, 255, 29},
    ControlPlace{"txtExtractPath", K::TextBox, "", kOptions, 2160, 120, 3735, 285, 12},
    ControlPlace{"cmdExtractBrowse", K::Button, "...", kOptions, 6000, 120, 495, 255, 13},
    ControlPlace{"lab(6)", K::Label, "Default Source Path:", kOptions, 0, 480, 2055, 255, 27},
    ControlPlace{"txtDefSearchPath", K::TextBox, "", kOptions, 2160, 480, 3735, 285, 14},
    ControlPlace{"cmdDefSearchBrowse", K::Button, "...", kOptions, 6000, 480, 495, 255, 15},
    ControlPlace{"lab(7)", K::Note, " path will be used when not shelled from explorer", kOptions, 120, 840, 4455, 255, 28},
    ControlPlace{"chkFileSystem", K::CheckBox, "Recreate File System", kOptions, 120, 1080, 2895, 255, 31},
    ControlPlace{"lab(9)", K::Note, " recreate the internal file structure from the volume into destination.", kOptions,
                 120, 1320, 6615, 255, 32},
    ControlPlace{"chkSplash", K::CheckBox, "Splash Screen", kOptions, 120, 1560, 2055, 255, 16},
    ControlPlace{"cmdAssociate", K::Button, "Associate &Tarnwick with *.vol (volumes)", kOptions, 0, 1920, 3975, 375, 17},
    ControlPlace{"cmdAbout", K::Button, "&About", kOptions, 5400, 7680, 1215, 375, 18},
};

} // namespace

const WindowLayout& MainForm::Layout()
{
    static const WindowLayout layout{"Tarnwick", 6975, 8655, kControls};
    return layout;
}

} // namespace tarnwick
