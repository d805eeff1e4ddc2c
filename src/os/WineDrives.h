#pragma once
// The drives of the user's Wine prefixes. On Linux the game runs under Wine,
// so its volumes lie in a prefix (~/.wine/drive_c/...), inside a hidden
// folder that the folder list does not show; the drive list offers each of
// the prefix's drives instead, one pick away.
#include <string>
#include <vector>

namespace tarnwick::os {

struct WineDrive {
    char letter = 0;    // 'c'
    std::string label;  // what the drive list shows: "c: (wine)"
    std::string folder; // where the drive leads, every link resolved
};

// The drives of $WINEPREFIX (when it is an absolute path), then those of
// ~/.wine; a prefix reached both ways counts once. A drive is a prefix's
// dosdevices/a: to dosdevices/z: that leads to a folder: links that dangle,
// loop or lead to a file are left out, and so are "/" itself (the z: Wine
// makes, which the list has already) and a folder an earlier drive leads
// to. Only those 26 names are looked at, so a prefix of thousands of
// entries costs no more than any other. The label names the prefix when it
// is not ~/.wine: "c: (wine ~/games/tribes)". Windows: none; the system's
// own drives are the drives there.
std::vector<WineDrive> UserWineDrives();

} // namespace tarnwick::os
