#include "forms/DetailsForm.h"

#include "forms/Toolkit.h"
#include "os/LocalTime.h"

#include <utility>

namespace tarnwick {

namespace {

// Captions on the left, values right-aligned after them; the directory
// values sit in the "Binary Information" frame, which the original window
// named like the window itself.
const ControlPlace kControls[] = {
    {"lab(0)", ControlKind::Label, "Name:", "", 120, 120, 855, 255},
    {"labName", ControlKind::Label, "...", "", 960, 120, 2895, 255, -1, true, TextAlign::Right},
    {"lab(1)", ControlKind::Label, "File Size:", "", 120, 360, 975, 255},
    {"labSize", ControlKind::Label, "...", "", 1080, 360, 2775, 255, -1, true, TextAlign::Right},
    {"lab(2)", ControlKind::Label, "File Date:", "", 120, 600, 855, 255},
    {"labDate", ControlKind::Label, "...", "", 1080, 600, 2775, 255, -1, true, TextAlign::Right},
    {"lab(3)", ControlKind::Label, "# Files:", "", 120, 840, 855, 255},
    {"labFileCount", ControlKind::Label, "...", "", 1080, 840, 2775, 255, -1, true, TextAlign::Right},
    {"frmDetails", ControlKind::Frame, "Binary Information", "", 120, 1200, 2775, 1095},
    {"lab(4)", ControlKind::Label, "PVOL:", "frmDetails", 120, 240, 615, 255},
    {"labPVOL", ControlKind::Label, "...", "frmDetails", 1080, 240, 1455, 255, -1, true, TextAlign::Right},
    {"lab(5)", ControlKind::Label, "VOLS:", "frmDetails", 120, 480, 615, 255},
    {"labVOLS", ControlKind::Label, "...", "frmDetails", 1080, 480, 1455, 255, -1, true, TextAlign::Right},
    {"lab(6)", ControlKind::Label, "VOLI:", "frmDetails", 120, 720, 615, 255},
    {"labVOLI", ControlKind::Label, "...", "frmDetails", 1080, 720, 1455, 255, -1, true, TextAlign::Right},
    {"cmdOK", ControlKind::Button, "&OK", "", 3000, 1920, 975, 375},
};

const WindowLayout kLayout{"Volume Details", 4095, 2415, kControls};

} // namespace

const WindowLayout& DetailsForm::Layout() { return kLayout; }

DetailsForm::DetailsForm(Toolkit& toolkit) : toolkit_(toolkit)
{
    // The values read as designed until Fill.
    const std::pair<std::string*, const char*> values[] = {
        {&labName, "labName"}, {&labSize, "labSize"}, {&labDate, "labDate"}, {&labFileCount, "labFileCount"},
        {&labPVOL, "labPVOL"}, {&labVOLS, "labVOLS"}, {&labVOLI, "labVOLI"}};
    for (const auto& [value, control] : values)
        *value = FindControl(kLayout, control)->caption;
}

std::optional<std::string> DetailsForm::GeneralDate(std::time_t when) const
{
    const std::optional<std::tm> local = os::LocalTime(when);
    if (!local)
        return std::nullopt;
    const std::string date = toolkit_.ShortDate(*local);
    if (local->tm_hour == 0 && local->tm_min == 0 && local->tm_sec == 0)
        return date;
    return date + ' ' + toolkit_.LongTime(*local);
}

void DetailsForm::Fill(const std::string& name, std::optional<std::int64_t> size,
                       std::optional<std::time_t> modified, long long fileCount, std::int32_t pvol,
                       std::int32_t vols, std::int32_t voli)
{
    labName = name;
    labSize = size ? std::to_string(*size) : kUnknown;
    const std::optional<std::string> date = modified ? GeneralDate(*modified) : std::nullopt;
    labDate = date ? *date : kUnknown;
    labFileCount = std::to_string(fileCount);
    labPVOL = std::to_string(pvol);
    labVOLS = std::to_string(vols);
    labVOLI = std::to_string(voli);
    Show("");
}

void DetailsForm::cmdOK_Click() { Close(); }

} // namespace tarnwick
