#include "forms/AboutForm.h"

#include "forms/ProgramVersion.h"

namespace tarnwick {

const char* const AboutForm::kDescription =
    "     Tarnwick gives Starsiege: Tribes scripters a Windows Graphical Interface to the command line tool, "
    "extract, thus making it easier to extract the resources in the game's volume (*.vol) files.  Part of the "
    "Cairnix Suite family, Tarnwick is second in a line of utilities.";

namespace {

// The two pictures are 32 pixels square: the emblem and the program's icon.
const ControlPlace kControls[] = {
    {"picIcon", ControlKind::Picture, "", "", 120, 120, 480, 480},
    {"labName", ControlKind::Label, "Tarnwick", "", 720, 120, 2535, 285},
    {"labVersion", ControlKind::Label, "...", "", 3360, 150, 2370, 255, -1, true, TextAlign::Right},
    {"labCompany", ControlKind::Label, "Cairnix Suite", "", 720, 420, 2535, 255},
    // The icon beside the description, which fills the lower half.
    {"Image1", ControlKind::Picture, "", "", 120, 1680, 480, 480},
    {"labDesc", ControlKind::Label, AboutForm::kDescription, "", 720, 1680, 4455, 1215},
    {"cmdOK", ControlKind::Button, "&OK", "", 4560, 2910, 1215, 375},
};

const WindowLayout kLayout{"About Tarnwick", 5850, 3330, kControls};

} // namespace

const WindowLayout& AboutForm::Layout() { return kLayout; }

AboutForm::AboutForm()
    : labName(FindControl(kLayout, "labName")->caption), labVersion(FindControl(kLayout, "labVersion")->caption),
      labCompany(FindControl(kLayout, "labCompany")->caption), labDesc(kDescription)
{
}

void AboutForm::Form_Load()
{
    labVersion = ProgramVersionText();
    Show("labVersion");
}

void AboutForm::cmdOK_Click() { Close(); }

} // namespace tarnwick
