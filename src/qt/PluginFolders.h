#pragma once
// Qt loads its plugins from its own plugin folder and nowhere else.

namespace tarnwick {

// Called once before the QApplication object is made and once after it. Qt
// otherwise also searches the program's own folder, where volumes are
// extracted by default, and the folders named in $QT_PLUGIN_PATH; and it
// reads a qt.conf beside the program, which can move its plugin folder.
void LoadQtPluginsFromQtOnly();

} // namespace tarnwick
