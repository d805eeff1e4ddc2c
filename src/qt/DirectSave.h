#pragma once
// The source's side of the direct-save protocol (XdndDirectSave0) on X11:
// the drag's source window carries a property with the offered file name,
// which the drop target replaces by the URI it wants the file saved at.
// That window is the one the drag's messages name, the owner of
// XdndSelection: Qt runs its drags from a hidden window of its own, not from
// the window the drag started in, so it is known only once the drag has
// begun. Elsewhere (Wayland, Windows, the offscreen platform) there is no
// such property: the calls do nothing and the answer is empty.
#include <QByteArray>

#include <cstdint>
#include <string>

namespace tarnwick {

// Puts the offered file name (UTF-8) on the running drag's source window;
// returns that window, 0 when there is none.
std::uint32_t OfferDirectSave(const std::string& fileName);
// Takes the property away from the window the offer went to.
void WithdrawDirectSave(std::uint32_t window);
// What the property holds now: the target's URI once it answered.
QByteArray ReadDirectSave(std::uint32_t window);

} // namespace tarnwick
