#pragma once
// The main window's Select All, Deselect All and Extract buttons.
#include <optional>
#include <string>

namespace tarnwick {

class frmMain;

void cmdSelAll_Click(frmMain& main);
void cmdDelAll_Click(frmMain& main);
// Refuses an empty list or selection; otherwise shows the progress window,
// which runs the job, then clears the selection.
void cmdExtract_Click(frmMain& main);
// What Extract does once the selection passed its checks: the progress
// window runs one job for the selected names, into `destination` when given
// (else the "Extraction Path:"), then the selection is cleared and the
// pointer is the arrow again.
void ExtractSelection(frmMain& main, const std::optional<std::string>& destination = std::nullopt);

} // namespace tarnwick
