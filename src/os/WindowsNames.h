#pragma once
// The names a Windows disk cannot hold as given. The system reads some names
// as devices (NUL, COM1, "nul.cs" in any folder), drops a dot or blank at the
// end of a piece (so "a.cs." is a.cs), takes "name:more" as a hidden stream
// of the file "name", and refuses a few characters outright. A volume from
// the internet may store any of them; written as they stand, its bytes would
// go to a device, into another entry's file or into a stream nobody sees.
// Plain text work: the rule holds whatever system the program runs on.
#include <string>
#include <string_view>

namespace tarnwick {

// Whether a piece of a path is one of the system's device names, with or
// without an extension: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and
// LPT0 to LPT9 (the superscript digits 1 to 3 of the code page count as
// digits there).
bool IsWindowsDeviceName(std::string_view piece);

// Why Windows cannot hold the piece as given, as words that follow "the name
// ... " in a message; empty when it can.
std::string WindowsPieceProblem(std::string_view piece);

// The first problem of any piece of a path below its root (a drive, a share,
// the \\?\ prefix), together with the piece: "\"nul.cs\" names a device"
// and the like; empty when every piece can be held. "." and ".." pieces pass:
// they are the path's own steps, not names.
std::string WindowsPathProblem(std::string_view path);

} // namespace tarnwick
