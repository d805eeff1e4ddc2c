#pragma once
// The main window's Select All, Deselect All and Extract buttons.
namespace tarnwick {

class frmMain;

void cmdSelAll_Click(frmMain& main);
void cmdDelAll_Click(frmMain& main);
// Refuses an empty list or selection; otherwise shows the progress window,
// which runs the job, then clears the selection.
void cmdExtract_Click(frmMain& main);

} // namespace tarnwick
