#include "extraction/ExtractCommands_ui.h"

#include "extraction/FailureSummary.h"
#include "extraction/ProgressForm.h"
#include "mainwindow/NameListBox.h"
#include "mainwindow/frmMain.h"
#include "platform/CommonRoutines.h"
#include "platform/QtToolkit_ui.h"

#include <QCheckBox>
#include <QLineEdit>

namespace tarnwick {

namespace {

void SelectEvery(frmMain& main, bool selected)
{
    NameListBox* list = main.lstData;
    if (list->count() == 0)
        return;
    // One selection change for the whole list, not one per entry: with a
    // hundred thousand names the difference is seconds.
    if (selected)
        list->selectAll();
    else
        list->clearSelection();
}

// What the main window's controls say when the progress window's timer fires.
ExtractionRequest RequestFrom(const frmMain& main, const std::optional<std::string>& destination)
{
    ExtractionRequest r;
    r.names = main.lstData->SelectedNames();
    r.style = main.Style();
    const char sep = Separator(r.style);
    r.volumePath = main.DirPath();
    if (r.volumePath.empty() || r.volumePath.back() != sep)
        r.volumePath += sep;
    r.volumePath += main.SelectedVolumeName();
    r.destination = destination ? *destination : main.txtPath->text().toLocal8Bit().toStdString();
    r.extractor = main.txtExtractPath->text().toLocal8Bit().toStdString();
    r.overwrite = main.chkOverwrite->checkState() != Qt::Unchecked;
    r.recreateStructure = main.chkFileSystem->checkState() != Qt::Unchecked;
    return r;
}

} // namespace

void cmdSelAll_Click(frmMain& main) { SelectEvery(main, true); }
void cmdDelAll_Click(frmMain& main) { SelectEvery(main, false); }

void cmdExtract_Click(frmMain& main)
{
    const NameListBox* list = main.lstData;
    if (list->count() == 0) {
        ShowError("There are no listed files to extract.");
        return;
    }
    if (!list->HasSelection()) {
        ShowError("You have selected no files to extract.");
        return;
    }
    ExtractSelection(main);
}

void ExtractSelection(frmMain& main, const std::optional<std::string>& destination)
{
    QtToolkit toolkit(&main);
    std::string summary;
    {
        const WaitPointer wait(toolkit);
        {
            ProgressForm progress([&main, &destination] { return RequestFrom(main, destination); }, toolkit);
            toolkit.ShowProgress(progress);
            summary = FailureSummary(progress.FailedNames(), progress.NamesHandled(), main.Style());
        }
        cmdDelAll_Click(main);
    }
    if (!summary.empty())
        ShowError(summary);
}

} // namespace tarnwick
