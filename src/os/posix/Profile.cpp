#include "os/Profile.h"
#include "os/Files.h"
#include "os/ProfileText.h"

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
    // Looked at before anything opens it: opening a FIFO for reading waits
    // for a writer. Only a regular file, or a link to one, is the settings
    // file; anything else under that name (a folder, a FIFO, a device, a
    // socket, or a link to one of them) must be neither read nor replaced
    // by a write, which would put a regular file in its place.
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    if (!S_ISREG(st.st_mode)) {
        failed = true;
        return std::nullopt;
    }
    InputFile in(path); // refuses what is no regular file by the time it opens
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
    return WritePrivateProfileStrings(section, {{key, value}}, file);
}

bool WritePrivateProfileStrings(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& values,
                                const std::string& file)
{
    if (file.empty() || !profile::CanStoreAll(section, values))
        return false;
    bool failed = false;
    const std::optional<std::string> text = ReadWhole(file, failed);
    // A file that is there but cannot be read is not overwritten with what
    // little we know of it.
    if (failed)
        return false;
    const std::string_view old = text ? std::string_view(*text) : std::string_view();
    // One key is the common case and the file may be large: its edit is
    // written in three pieces straight from the old text. Several keys are
    // applied one after the other to a copy.
    profile::Edit edit;
    std::string edited;
    if (values.size() == 1) {
        edit = profile::PlanStore(old, section, values[0].first, values[0].second);
    } else {
        edited.assign(old);
        for (const auto& [key, value] : values)
            edited = profile::Store(edited, section, key, value);
        edit = {0, std::move(edited), old.size()};
    }
    if (text && !profile::Changes(old, edit))
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
    // Written in its three pieces straight from the old text: for one key
    // the file is held once in memory, however large it is.
    const std::string_view head = old.substr(0, edit.keep), tail = old.substr(edit.resume);
    AtomicOutputFile out(path);
    if (!out.IsOpen() || !out.Write(head.data(), static_cast<std::int64_t>(head.size())) ||
        !out.Write(edit.insert.data(), static_cast<std::int64_t>(edit.insert.size())) ||
        !out.Write(tail.data(), static_cast<std::int64_t>(tail.size())) || !out.Commit())
        return false;
    if (existed)
        ::chmod(path.c_str(), st.st_mode & 07777);
    return true;
}

} // namespace tarnwick::os
