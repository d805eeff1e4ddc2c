// The main window's extraction commands: Select All, Deselect All and
// Extract, and the request the progress window reads when its timer fires.
#include "forms/MainForm.h"

#include "extraction/FailureSummary.h"
#include "forms/ProgressForm.h"
#include "forms/Toolkit.h"
#include "services/CommonRoutines.h"

namespace tarnwick {

void MainForm::cmdSelAll_Click()
{
    lstData.SelectAll(true);
    Show("lstData");
}

void MainForm::cmdDelAll_Click()
{
    lstData.SelectAll(false);
    Show("lstData");
}

void MainForm::cmdExtract_Click()
{
    if (lstData.Count() == 0) {
        ShowError("There are no listed files to extract.");
        return;
    }
    if (!lstData.HasSelection()) {
        ShowError("You have selected no files to extract.");
        return;
    }
    ExtractSelection();
}

ExtractionRequest MainForm::Request(const std::optional<std::string>& destination) const
{
    ExtractionRequest r;
    r.names = lstData.SelectedNames();
    r.volumePath = JoinPath(DirPath(), SelectedVolumeName(), options_.style);
    r.destination = destination ? *destination : txtPath;
    r.extractor = txtExtractPath;
    r.overwrite = chkOverwrite != CheckState::Unchecked;
    r.recreateStructure = chkFileSystem != CheckState::Unchecked;
    return r;
}

void MainForm::ExtractSelection(const std::optional<std::string>& destination)
{
    std::string summary;
    {
        WaitPointer wait(toolkit_);
        ProgressForm progress([this, destination] { return Request(destination); }, toolkit_, options_.style);
        toolkit_.ShowProgress(progress);
        summary = FailureSummary(progress.FailedNames(), progress.NamesHandled(), options_.style);
        cmdDelAll_Click();
    }
    if (!summary.empty())
        ShowError(summary);
}

} // namespace tarnwick
