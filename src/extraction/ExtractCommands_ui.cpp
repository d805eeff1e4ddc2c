#include "extraction/ExtractCommands_ui.h"

#include "extraction/FailureSummary.h"
#include "extraction/frmProgress.h"
#include "mainwindow/NameListBox.h"
#include "mainwindow/frmMain.h"
#include "platform/CommonRoutines.h"

#include <QApplication>

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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string summary;
    {
        frmProgress progress(main, destination);
        progress.exec();
        summary = FailureSummary(progress.FailedNames(), progress.NamesHandled(), main.Style());
    }
    cmdDelAll_Click(main);
    QApplication::restoreOverrideCursor();
    if (!summary.empty())
        ShowError(summary);
}

} // namespace tarnwick
