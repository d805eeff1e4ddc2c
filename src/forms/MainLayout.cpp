// Where the main window's controls sit, in twips, and what they say.
#include "forms/MainForm.h"

#include <array>

namespace tarnwick {

namespace {

using K = ControlKind;
constexpr const char* kBrowser = "picBase(0)";
constexpr const char* kOptions = "picBase(1)";

// In the classic keyboard order: the contents list first, the tabs last.
constexpr std::array kControls{
    ControlPlace{"tbsMain", K::TabStrip, "&Browser|&Options", "", 0, 0, 6975, 360},
    ControlPlace{"picBase(0)", K::Page, "", "", 120, 480, 6735, 8055},
    ControlPlace{"picBase(1)", K::Page, "", "", 120, 480, 6735, 8055},
    ControlPlace{"lstData", K::NameList, "", kBrowser, 3480, 360, 3015, 6105},
    ControlPlace{"cmdSelAll", K::Button, "Select All", kBrowser, 3480, 6480, 1455, 375},
    ControlPlace{"cmdDelAll", K::Button, "Deselect All", kBrowser, 5040, 6480, 1455, 375},
    ControlPlace{"txtPath", K::TextBox, "", kBrowser, 1560, 6945, 4215, 285},
    ControlPlace{"cmdBrowse", K::Button, "...", kBrowser, 5880, 6960, 735, 255},
    ControlPlace{"cmdExtract", K::Button, "&Extract", kBrowser, 5040, 7680, 1695, 375},
    ControlPlace{"drvMain", K::DriveList, "", kBrowser, 840, 90, 2535, 315},
    ControlPlace{"dirMain", K::FolderList, "", kBrowser, 120, 720, 3255, 3015},
    ControlPlace{"filVolumes", K::FileList, "", kBrowser, 120, 4080, 3255, 2820},
    ControlPlace{"chkOverwrite", K::CheckBox, "Over&write Files without Prompt", kBrowser, 120, 7320, 3135, 255},
    ControlPlace{"chkPHX", K::CheckBox, "Re&validate Phoenix Bitmaps Using:", kBrowser, 120, 7560, 3375, 255, false},
    ControlPlace{"cboPHX", K::ComboBox, "", kBrowser, 3480, 7530, 1335, 315, false},
    ControlPlace{"txtExtractPath", K::TextBox, "", kOptions, 2160, 105, 3735, 285},
    ControlPlace{"cmdExtractBrowse", K::Button, "...", kOptions, 6000, 120, 495, 255},
    ControlPlace{"txtDefSearchPath", K::TextBox, "", kOptions, 2160, 465, 3735, 285},
    ControlPlace{"cmdDefSearchBrowse", K::Button, "...", kOptions, 6000, 480, 495, 255},
    ControlPlace{"chkFileSystem", K::CheckBox, "Recreate File System", kOptions, 120, 1080, 2895, 255},
    ControlPlace{"chkSplash", K::CheckBox, "Splash Screen", kOptions, 120, 1560, 2055, 255},
    ControlPlace{"cmdAssociate", K::Button, "Associate &Tarnwick with *.vol (volumes)", kOptions, 0, 1920, 3975, 375},
    ControlPlace{"cmdAbout", K::Button, "&About", kOptions, 5400, 7680, 1215, 375},
    ControlPlace{"lab(0)", K::Label, "Drive:", kBrowser, 120, 120, 615, 255},
    ControlPlace{"lab(1)", K::Label, "Directory:", kBrowser, 120, 480, 855, 255},
    ControlPlace{"lab(2)", K::Label, "Available Volumes:", kBrowser, 120, 3840, 3255, 255},
    ControlPlace{"lab(3)", K::Label, "Extraction Path:", kBrowser, 120, 6960, 1455, 255},
    ControlPlace{"lab(4)", K::Label, "Files contained in Volume:", kBrowser, 3480, 120, 2415, 255},
    ControlPlace{"lab(5)", K::Label, "Location of Extract.exe:", kOptions, 0, 120, 2055, 255},
    ControlPlace{"lab(6)", K::Label, "Default Source Path:", kOptions, 0, 480, 2055, 255},
    ControlPlace{"lab(7)", K::Note, " path will be used when not shelled from explorer", kOptions, 120, 840, 4455, 255},
    ControlPlace{"lab(8)", K::Note, "currently does NOT revalidate PBMPs.", kBrowser, 240, 7800, 3255, 255},
    ControlPlace{"lab(9)", K::Note, " recreate the internal file structure from the volume into destination.", kOptions,
                 120, 1320, 6615, 255},
};

} // namespace

const WindowLayout& MainForm::Layout()
{
    static const WindowLayout layout{"Tarnwick", 6975, 8655, kControls};
    return layout;
}

} // namespace tarnwick
