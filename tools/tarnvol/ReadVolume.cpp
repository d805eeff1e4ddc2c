#include "ReadVolume.h"
#include "StoredNames.h"

#include <cstdio>

namespace tarnvol {

bool ReadVolume(tarnwick::clsVOLReader& reader, const std::string& path)
{
    reader.Error = [](std::int16_t, const std::string& message) {
        std::fprintf(stderr, "%s\n", ShownMessage(message).c_str());
    };
    // A successful listing is never empty: every name ends with "/".
    return !reader.GetFileNames(path).empty();
}

} // namespace tarnvol
