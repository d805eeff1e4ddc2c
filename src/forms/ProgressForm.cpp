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

ProgressForm::ProgressForm(std::function<ExtractionRequest()> request, Toolkit& toolkit, PathStyle style)
    : lab(FindControl(kLayout, "lab")->caption), labFile(FindControl(kLayout, "labFile")->caption),
      labProgress(FindControl(kLayout, "labProgress")->caption), request_(std::move(request)), toolkit_(toolkit),
      style_(style)
{
}

ProgressForm::~ProgressForm() = default;

void ProgressForm::Form_Load()
{
    objExtract_ = std::make_shared<clsExtract>(style_);
    clsExtract& job = *objExtract_;
    job.E_Percent = [this](std::int16_t v, const std::string& f) { objExtract_E_Percent(v, f); };
    job.E_Error = [this](std::int16_t n, const std::string& m) { objExtract_E_Error(n, m); };
    // Not the window's to hear but the Extract command's, which sums up
    // every name that failed: still counted once the window has unloaded.
    job.E_Outcome = [this](const std::string& name, const std::string&, clsExtract::Outcome outcome) {
        ++handled_;
        if (outcome == clsExtract::Outcome::Failed)
            failedNames_.push_back(name);
    };
    job.SetClipboardText = [this](const std::string& text) { toolkit_.SetClipboardText(text); };
}

void ProgressForm::timProcess_Timer()
{
    timProcess.Interval = 0;
    timProcess.Enabled = false;
    Show("timProcess");
    ProcessFiles();
}

void ProgressForm::ProcessFiles()
{
    // Held for the run: the form lets go of the job when it unloads, which
    // the first error does from inside the job.
    const std::shared_ptr<clsExtract> held = objExtract_;
    if (!held) {
        // Never loaded, or gone already: nothing to run, and the window
        // must not stay up waiting for a job.
        Unload();
        return;
    }
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

    clsExtract& job = *held;
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
    pbrProgress = value;
    labProgress = std::to_string(value) + '%';
    // A stored name: Windows-1252 bytes, shown as their text.
    labFile = AnsiToUtf8(fileName);
    // The job holds the thread: the window shows the change only when told.
    Show("");
}

void ProgressForm::objExtract_E_Error(int number, const std::string& message)
{
    MsgBox("[Error: " + std::to_string(number) + "] " + message, MsgButtons::OK, MsgIcon::Critical);
    Unload();
}

void ProgressForm::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // Letting go of the job ends the window's subscription: what a job still
    // running raises from now on reaches no one. (The job raises a copy of
    // its handler, so this is safe from inside one.)
    if (objExtract_) {
        objExtract_->E_Percent = nullptr;
        objExtract_->E_Error = nullptr;
        objExtract_.reset();
    }
    Close();
}

void ProgressForm::Form_QueryUnload(bool& Cancel) const { Cancel = running_ || !unloaded_; }

} // namespace tarnwick
