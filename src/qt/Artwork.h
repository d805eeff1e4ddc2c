#pragma once
// Tarnwick's pictures, drawn rather than shipped as files: the splash
// picture, the About window's small picture and the program's icon.
#include <QIcon>
#include <QPixmap>
#include <QByteArray>

namespace tarnwick {

// 400 x 200: the splash window's whole client area.
QPixmap SplashPicture();
// The emblem at a square size (32 for the About window).
QPixmap EmblemPicture(int size);
// A volume file as the shell shows it: a sheet bearing the emblem.
QPixmap VolumeFilePicture(int size);
QIcon ProgramIcon();
// The emblem as a PNG file's bytes, for the desktop's icon of the program.
QByteArray ProgramIconPng(int size);

} // namespace tarnwick
