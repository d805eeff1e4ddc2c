#include "forms/ProgramVersion.h"

namespace tarnwick {

std::string VersionText(int major, int minor, int revision)
{
    return "\xC3\x9F" + std::to_string(major) + '.' + std::to_string(minor) + '.' + std::to_string(revision);
}

std::string ProgramVersionText()
{
    return VersionText(TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR, TARNWICK_VERSION_REVISION);
}

} // namespace tarnwick
