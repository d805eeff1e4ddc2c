// windows.h names the A/W pair of each profile call through a macro; ours
// must keep its own name.
#include <windows.h>
#undef GetPrivateProfileString
#undef WritePrivateProfileString

#include "os/Files.h"
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

bool WritePrivateProfileStrings(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& values,
                                const std::string& file)
{
    if (file.empty() || !profile::CanStoreAll(section, values))
        return false;
    // A folder or a device under the name is no settings file, and a
    // read-only one is the user's to keep: neither is replaced, as the
    // system's own calls would not write them.
    const DWORD attributes = ::GetFileAttributesA(file.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        const DWORD why = ::GetLastError();
        if (why != ERROR_FILE_NOT_FOUND && why != ERROR_PATH_NOT_FOUND)
            return false;
    } else if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    std::string old;
    if (exists) {
        // A file that is there but cannot be read whole is not overwritten
        // with what little we know of it.
        InputFile in(file);
        const auto size = in.Size();
        if (!in.IsOpen() || !size)
            return false;
        old.resize(static_cast<std::size_t>(*size));
        std::int64_t done = 0;
        while (done < *size) {
            const std::int64_t got = in.ReadAt(done, old.data() + done, *size - done);
            if (got <= 0)
                return false;
            done += got;
        }
    }
    std::string text = old;
    for (const auto& [key, value] : values)
        text = profile::Store(text, section, key, value);
    if (exists && text == old)
        return true;
    // A file made anew has the lines Windows' own calls give it; an existing
    // one keeps its own (no value holds a line break).
    if (old.empty()) {
        std::string crlf;
        for (char c : text)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        text = std::move(crlf);
    }
    AtomicOutputFile out(file);
    return out.IsOpen() && out.Write(text.data(), static_cast<std::int64_t>(text.size())) && out.Commit();
}

} // namespace tarnwick::os
