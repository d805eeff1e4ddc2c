#pragma once
// The source's side of the direct-save protocol (XdndDirectSave0) on X11:
// the dragging window carries a property with the offered file name, which
// the drop target replaces by the URI it wants the file saved at. Elsewhere
// (Wayland, Windows, the offscreen platform) there is no such property: the
// calls do nothing and the answer is empty.
#include <QByteArray>

#include <string>

class QWidget;

namespace tarnwick {

// Puts the offered file name (UTF-8) on the window for the drag's length.
void OfferDirectSave(QWidget* window, const std::string& fileName);
// Takes the property away again once the drag is over.
void WithdrawDirectSave(QWidget* window);
// What the property holds now: the target's URI once it answered.
QByteArray ReadDirectSave(QWidget* window);

} // namespace tarnwick
