#include "forms/ProgressForm.h"

#include "extraction/clsExtract.h"
#include "os/AnsiText.h"
#include "services/MessageBox.h"
#include "forms/Toolkit.h"

namespace tarnwick {

namespace {

// No caption: the window has no title bar, so a running job cannot be closed.
const ControlPlace kControls[] = {
    {"lab", ControlKind::Label, "Now processing:", "", 240, 120, 4215, 255},
    {"labFile", ControlKind::Label, "Preprocessing data...", "", 240, 360, 4215, 255},
    {"pbrProgress", ControlKind::ProgressBar, "", "", 240, 720, 3735, 255},
    {"labProgress", ControlKind::Label, "...", "", 3960, 720, 615, 255, -1, true, TextAlign::Center},
};

const WindowLayout kLayout{"", 4575, 1095, kControls};

} // namespace

const WindowLayout& ProgressForm::Layout() { return kLayout; }

ProgressForm::ProgressForm(std::function<ExtractionRequest()> request, Toolkit& toolkit)
    : lab(FindControl(kLayout, "lab")->caption), labFile(FindControl(kLayout, "labFile")->caption),
      labProgress(FindControl(kLayout, "labProgress")->caption), request_(std::move(request)), toolkit_(toolkit)
{
}

ProgressForm::~ProgressForm() = default;

void ProgressForm::timProcess_Timer()
{
    timProcess.Interval = 0;
    timProcess.Enabled = false;
    Show("timProcess");
    ProcessFiles();
}

void ProgressForm::ProcessFiles()
{
    // Read now, not when the window was made: what the main window says at
    // the moment the job starts.
    ExtractionRequest r = request_();
    // The comma form stays for whoever reads FileList, but a name may hold
    // a comma: the job goes by the list of names.
    std::string list;
    for (const std::string& name : r.names)
        list += name + ',';
    if (!list.empty())
        list.pop_back();

    objExtract_ = std::make_unique<clsExtract>(r.style);
    clsExtract& job = *objExtract_;
    job.E_Percent = [this](std::int16_t v, const std::string& f) { objExtract_E_Percent(v, f); };
    job.E_Error = [this](std::int16_t n, const std::string& m) { objExtract_E_Error(n, m); };
    // Heard even after the window has closed on the first error: the
    // Extract command sums up every name that failed.
    job.E_Outcome = [this](const std::string& name, const std::string&, clsExtract::Outcome outcome) {
        ++handled_;
        if (outcome == clsExtract::Outcome::Failed)
            failedNames_.push_back(name);
    };
    job.SetClipboardText = [this](const std::string& text) { toolkit_.SetClipboardText(text); };
    job.SetDestinationPath(std::move(r.destination));
    job.SetExtractPath(std::move(r.extractor));
    job.SetFileList(std::move(list));
    job.SetNames(std::move(r.names));
    job.SetOverwrite(r.overwrite);
    job.SetRecreateStructure(r.recreateStructure);
    job.SetVOLPath(std::move(r.volumePath));
    running_ = true;
    job.Extract();
    running_ = false;
    Unload();
}

void ProgressForm::objExtract_E_Percent(int value, const std::string& fileName)
{
    if (unloaded_)
        return;
    pbrProgress = value;
    labProgress = std::to_string(value) + '%';
    // A stored name: Windows-1252 bytes, shown as their text.
    labFile = AnsiToUtf8(fileName);
    // The job holds the thread: the window shows the change only when told.
    Show("");
}

void ProgressForm::objExtract_E_Error(int number, const std::string& message)
{
    if (unloaded_)
        return;
    MsgBox("[Error: " + std::to_string(number) + "] " + message, MsgButtons::OK, MsgIcon::Critical);
    Unload();
}

void ProgressForm::Unload()
{
    if (unloaded_)
        return;
    // The window goes; a job still running hears from no one any more, and
    // is released with the form once it has returned.
    unloaded_ = true;
    Close();
}

void ProgressForm::Form_QueryUnload(bool& Cancel) const { Cancel = running_ || !unloaded_; }

} // namespace tarnwick
