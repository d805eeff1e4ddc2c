#include "volume/clsVOLReader.h"

#include "platform/os/Files.h"
#include "platform/os/Process.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

namespace {

// Signed 32-bit little-endian, as every integer of the volume is stored.
std::int32_t Int32At(const unsigned char* b)
{
    std::uint32_t v = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
                      (std::uint32_t(b[3]) << 24);
    return static_cast<std::int32_t>(v);
}

// A real volume's names run to a few hundred kilobytes. A larger claimed
// block is damage: honouring it would allocate and read up to 2 GB (a sparse
// file costs nothing on disk) and then hand that to the window's list.
constexpr std::int32_t kMaxNameBlock = 64 * 1024 * 1024;

// One byte of the name block: NUL becomes "/"; tells whether the result is
// a "/". Free of branches, so that loops over it become vector code.
inline unsigned char NulToSlash(unsigned char& c)
{
    const unsigned char nul = c == 0;
    const unsigned char slash = c == '/';
    c = static_cast<unsigned char>(c | (static_cast<unsigned char>(-nul) & '/'));
    return static_cast<unsigned char>(nul | slash);
}

// Turns every NUL into "/" and counts the "/" bytes that result. Counted in
// runs of a fixed length into a byte, which even -O2 turns into vector code:
// a plain byte loop was most of a listing's time.
std::size_t NulsToSlashes(char* text, std::size_t size)
{
    constexpr std::size_t kRun = 240; // fits a byte's count; a multiple of every vector width
    auto* p = reinterpret_cast<unsigned char*>(text);
    std::size_t total = 0;
    for (; size >= kRun; p += kRun, size -= kRun) {
        unsigned char count = 0;
        for (std::size_t i = 0; i < kRun; ++i)
            count = static_cast<unsigned char>(count + NulToSlash(p[i]));
        total += count;
    }
    for (std::size_t i = 0; i < size; ++i)
        total += NulToSlash(p[i]);
    return total;
}

enum class ReadResult { Ok, Short, Failed };

ReadResult ReadInt32(const os::InputFile& in, std::int64_t offset, std::int32_t& value)
{
    unsigned char b[4];
    std::int64_t got = in.ReadAt(offset, b, 4);
    if (got < 0)
        return ReadResult::Failed;
    if (got != 4)
        return ReadResult::Short;
    value = Int32At(b);
    return ReadResult::Ok;
}

} // namespace

clsVOLReader::Hooks clsVOLReader::SystemHooks()
{
    Hooks h;
    h.IsPlainFile = [](const std::string& p) { return os::IsPlainFile(p); };
    h.StartProcessHidden = [](const std::string& c) { return os::StartProcessHidden(c); };
    h.WaitForProcess = [](std::int64_t id) { return os::WaitForProcess(id); };
    return h;
}

clsVOLReader::clsVOLReader(PathStyle style)
    : clsVOLReader(style, SystemHooks())
{
}

clsVOLReader::clsVOLReader(PathStyle style, Hooks hooks)
    : style_(style), hooks_(std::move(hooks))
{
    // A partial set of hooks keeps the system's services for the rest.
    Hooks sys = SystemHooks();
    if (!hooks_.IsPlainFile)
        hooks_.IsPlainFile = sys.IsPlainFile;
    if (!hooks_.StartProcessHidden)
        hooks_.StartProcessHidden = sys.StartProcessHidden;
    if (!hooks_.WaitForProcess)
        hooks_.WaitForProcess = sys.WaitForProcess;
}

void clsVOLReader::Raise(std::int16_t number, const std::string& message)
{
    if (Error)
        Error(number, message);
}

void clsVOLReader::RaiseDamaged(const std::string& volumePath)
{
    Raise(7, "Volume " + ShownPath(volumePath, style_) + " is damaged or unreadable.");
}

std::string_view clsVOLReader::TableName(std::size_t index) const
{
    if (index >= starts_.size())
        return {};
    std::size_t begin = starts_[index];
    std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] - 1 : tableText_.size() - 1;
    return std::string_view(tableText_).substr(begin, end - begin);
}

bool clsVOLReader::IsValidVolume(const std::string& VolumePath)
{
    const std::string& path = VolumePath.empty() ? path_ : VolumePath;
    if (path.empty()) {
        Raise(2, "No path to volume given.");
        return false;
    }
    if (!hooks_.IsPlainFile(path)) {
        Raise(1, "Path " + ShownPath(path, style_) + " not found.");
        return false;
    }
    os::InputFile in(path);
    char sig[4];
    std::int64_t got = in.IsOpen() ? in.ReadAt(0, sig, 4) : -1;
    if (got < 0) {
        // It exists but cannot be opened or read: calling it "not a volume"
        // would mislead the user.
        RaiseDamaged(path);
        return false;
    }
    if (got != 4 || ToUpper(std::string_view(sig, 4)) != "PVOL") {
        Raise(3, "Invalid volume format.");
        return false;
    }
    return true;
}

std::string clsVOLReader::GetFileNames(const std::string& VolumePath)
{
    const std::string path = VolumePath.empty() ? path_ : VolumePath;
    if (!IsValidVolume(path))
        return {};

    os::InputFile in(path);
    std::optional<std::int64_t> size = in.IsOpen() ? in.Size() : std::nullopt;
    if (!size) {
        RaiseDamaged(path);
        return {};
    }
    const std::int64_t fileSize = *size;

    // Every position comes from the file itself, so each is checked against
    // the file's size before anything is read or allocated.
    std::int32_t d = 0, s = 0, voli = 0;
    if (ReadInt32(in, 4, d) != ReadResult::Ok || d < 0 || std::int64_t(d) + 8 > fileSize ||
        ReadInt32(in, std::int64_t(d) + 4, s) != ReadResult::Ok || s <= 0 ||
        s > kMaxNameBlock || std::int64_t(d) + 8 + s > fileSize || std::int64_t(d) + 13 + s + 4 > fileSize ||
        ReadInt32(in, std::int64_t(d) + 13 + s, voli) != ReadResult::Ok) {
        RaiseDamaged(path);
        return {};
    }

    // T is the name block with each NUL turned into "/": read it in one go
    // and change it in place.
    std::string text(static_cast<std::size_t>(s), '\0');
    if (in.ReadAt(std::int64_t(d) + 8, text.data(), s) != s) {
        RaiseDamaged(path);
        return {};
    }
    const std::size_t slashes = NulsToSlashes(text.data(), text.size());

    // The table is T without its last character, split at every "/". An
    // empty remainder gives an empty table, not one empty name.
    std::string tableText;
    std::vector<std::uint32_t> starts;
    if (text.size() > 1) {
        tableText.reserve(text.size());
        tableText.append(text, 0, text.size() - 1);
        tableText += '/';
        starts.reserve(slashes - (text.back() == '/') + 1);
        std::size_t begin = 0;
        const char* base = tableText.data();
        const std::size_t n = tableText.size();
        while (begin < n) {
            starts.push_back(static_cast<std::uint32_t>(begin));
            const void* slash = std::memchr(base + begin, '/', n - begin);
            begin = static_cast<std::size_t>(static_cast<const char*>(slash) - base) + 1;
        }
    }

    tableText_ = std::move(tableText);
    starts_ = std::move(starts);
    pvol_ = d;
    vols_ = s;
    voli_ = voli;
    fileCount_ = static_cast<std::int32_t>(starts_.size());
    return text;
}

void clsVOLReader::Extract(const std::string& FileName, const std::string& DestinationPath,
                           const std::string& VolumePath, const std::string& ePath)
{
    const std::string extractor = ePath.empty() ? extractPath_ : ePath;
    if (extractor.empty()) {
        Raise(5, "No path to Extract.exe specified.");
        return;
    }
    if (!hooks_.IsPlainFile(extractor)) {
        Raise(4, ShownPath(extractor, style_) + " is not a valid path to Extract.exe.");
        return;
    }
    const std::string volume = VolumePath.empty() ? path_ : VolumePath;
    if (!IsValidVolume(volume))
        return;

    const char sep = Separator(style_);
    std::string destination = DestinationPath;
    if (!destination.empty() && destination.back() == sep)
        destination.pop_back();

    // The extractor stands bare and the name goes bare as the third field;
    // only the output path spells the name in the local style.
    std::string line;
    line.reserve(extractor.size() + volume.size() + destination.size() + 2 * FileName.size() + 8);
    line += extractor;
    line += " \"";
    line += volume;
    line += "\" ";
    line += FileName;
    line += " \"";
    line += destination;
    line += sep;
    line += StoredNameToPath(FileName, style_);
    line += '"';
    ShellAndWait(line);
}

std::string clsVOLReader::GetDebugInfo() const
{
    std::string out;
    out.reserve(tableText_.size() + 7 * starts_.size());
    for (std::size_t i = 0; i < starts_.size(); ++i) {
        out += TableName(i);
        out += " 0 0 0\\";
    }
    return out;
}

bool clsVOLReader::ShellAndWait(const std::string& commandLine)
{
    std::int64_t id = 0;
    try {
        id = hooks_.StartProcessHidden(commandLine);
    } catch (...) {
        id = 0;
    }
    if (id == 0) {
        Raise(6, "Unable to shell " + ShownPath(commandLine, style_) + ".");
        return false;
    }
    // Whether the wait succeeds is not the caller's concern: it only needs
    // the process gone when this returns, or not waitable at all.
    hooks_.WaitForProcess(id);
    return true;
}

} // namespace tarnwick
