// windows.h names the A/W pair of each profile call through a macro; ours
// must keep its own name.
#include <windows.h>
#undef GetPrivateProfileString
#undef WritePrivateProfileString

#include "os/Profile.h"
#include "os/ProfileText.h"

namespace tarnwick::os {

std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                      const std::string& defaultText, char* buffer, std::uint32_t size,
                                      const std::string& file)
{
    if (!buffer || size == 0)
        return 0;
    return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer, size, file.c_str());
}

bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& file)
{
    // The system would write a line break in a value as it stands, and a
    // value could so forge sections and keys of its own; the same names and
    // values are refused on every system.
    if (file.empty() || !profile::CanStore(section, key, value))
        return false;
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

} // namespace tarnwick::os
