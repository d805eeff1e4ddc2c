#pragma once
// The volume list's pop-up command "&Properties": the details of the
// selected volume in the "Volume Details" window.
namespace tarnwick {

class frmMain;

void mnuProperties_Click(frmMain& main);

} // namespace tarnwick
