#include "extraction/ExtractCommands_ui.h"

#include "extraction/frmProgress.h"
#include "mainwindow/frmMain.h"
#include "platform/CommonRoutines.h"

#include <QApplication>
#include <QListWidget>

namespace tarnwick {

namespace {

void SelectEvery(frmMain& main, bool selected)
{
    QListWidget* list = main.lstData;
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
    QListWidget* list = main.lstData;
    if (list->count() == 0) {
        ShowError("There are no listed files to extract.");
        return;
    }
    bool any = false;
    for (int i = 0; i < list->count() && !any; ++i)
        any = list->item(i)->isSelected();
    if (!any) {
        ShowError("You have selected no files to extract.");
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        frmProgress progress(main);
        progress.exec();
    }
    cmdDelAll_Click(main);
    QApplication::restoreOverrideCursor();
}

} // namespace tarnwick
