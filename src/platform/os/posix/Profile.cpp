#include "platform/os/Profile.h"
#include "platform/os/Files.h"
#include "platform/os/ProfileText.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::os {

namespace {

// The whole file, nothing when it is missing, and nothing with `failed` set
// when it is there but cannot be read completely.
std::optional<std::string> ReadWhole(const std::string& path, bool& failed)
{
    failed = false;
    if (!IsPlainFile(path)) {
        // Something that is not a plain file (a folder, a device) under that
        // name must not be replaced by a write.
        failed = PlainExists(path);
        return std::nullopt;
    }
    InputFile in(path);
    const auto size = in.Size();
    if (!in.IsOpen() || !size) {
        failed = true;
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(*size), '\0');
    std::int64_t done = 0;
    while (done < *size) {
        const std::int64_t got = in.ReadAt(done, text.data() + done, *size - done);
        if (got <= 0)
            break;
        done += got;
    }
    if (done != *size) {
        failed = true;
        return std::nullopt;
    }
    return text;
}

} // namespace

std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                      const std::string& defaultText, char* buffer,
                                      std::uint32_t size, const std::string& file)
{
    if (!buffer || size == 0)
        return 0;
    bool failed = false;
    std::optional<std::string> value;
    if (const auto text = ReadWhole(file, failed))
        value = profile::Lookup(*text, section, key);
    if (!value) {
        // As Windows does, the default loses its trailing blanks.
        std::string d = defaultText;
        while (!d.empty() && (d.back() == ' ' || d.back() == '\t'))
            d.pop_back();
        value = std::move(d);
    }
    const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(value->size(), size - 1));
    std::memcpy(buffer, value->data(), n);
    buffer[n] = '\0';
    return n;
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file)
{
    if (file.empty() || !profile::CanStore(section, key, value))
        return false;
    bool failed = false;
    const std::optional<std::string> text = ReadWhole(file, failed);
    // A file that is there but cannot be read is not overwritten with what
    // little we know of it.
    if (failed)
        return false;
    const std::string updated = profile::Store(text ? *text : std::string(), section, key, value);
    if (text && updated == *text)
        return true;
    // Replace the file a link points to, not the link.
    const std::string target = text ? LongPathName(file) : std::string();
    const std::string path = target.empty() ? file : target;
    // The replacement is a new file renamed over the old one, which the
    // folder's rights allow even for a file the user made read-only (and
    // root passes every test of rights): honour the file's own mode, as
    // Windows honours its read-only attribute, and hand the mode on.
    struct stat st {};
    const bool existed = text && ::stat(path.c_str(), &st) == 0;
    if (existed && ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        return false;
    AtomicOutputFile out(path);
    if (!out.IsOpen() || !out.Write(updated.data(), static_cast<std::int64_t>(updated.size())) || !out.Commit())
        return false;
    if (existed)
        ::chmod(path.c_str(), st.st_mode & 07777);
    return true;
}

} // namespace tarnwick::os
