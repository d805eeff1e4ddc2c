#include "os/DesktopAssociation.h"

namespace tarnwick::os {

// The registry entries under HKEY_CLASSES_ROOT are the whole association on
// Windows; the shell reads them itself.
std::string RegisterDesktopVolumeHandler(const std::string&, const std::string&) { return {}; }

} // namespace tarnwick::os
