#pragma once
// The program's pictures, carried as resources of tarnwick.exe (made from
// the same artwork the Qt windows draw). A program without them (the tests)
// shows empty pictures.
#include <windows.h>

namespace tarnwick::win32ui {

inline constexpr int kIconResource = 1;
inline constexpr int kSplashResource = 2;

// A picture control showing the program's icon, or the splash bitmap.
HWND MakeIconPicture(HWND parent, const RECT& r, int id);
HWND MakeSplashPicture(HWND parent, const RECT& r, int id);

} // namespace tarnwick::win32ui
