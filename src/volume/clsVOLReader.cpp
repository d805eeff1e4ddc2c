#include "volume/clsVOLReader.h"

#include "os/TextCase.h"
#include "os/Files.h"

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

// Turns every NUL into "/", counts the "/" bytes that result and notes
// where every `every`-th name starts (the byte after the every-th, 2*every-th
// ... "/"). Counted in runs of a fixed length into a byte, which even -O2
// turns into vector code: a plain byte loop was most of a listing's time.
// Only a run in which such a "/" lies is walked again to find it.
std::size_t NulsToSlashes(char* text, std::size_t size, std::size_t every, std::vector<std::uint32_t>& marks)
{
    constexpr std::size_t kRun = 240; // fits a byte's count; a multiple of every vector width
    auto* const base = reinterpret_cast<unsigned char*>(text);
    std::size_t total = 0;
    std::size_t at = 0;
    const auto markIn = [&](std::size_t from, std::size_t to, std::size_t before) {
        for (std::size_t i = from; i < to; ++i) {
            if (base[i] == '/' && ++before % every == 0)
                marks.push_back(static_cast<std::uint32_t>(i + 1));
        }
    };
    for (; size - at >= kRun; at += kRun) {
        unsigned char count = 0;
        unsigned char* p = base + at;
        for (std::size_t i = 0; i < kRun; ++i)
            count = static_cast<unsigned char>(count + NulToSlash(p[i]));
        if ((total + count) / every != total / every)
            markIn(at, at + kRun, total);
        total += count;
    }
    const std::size_t before = total;
    for (std::size_t i = at; i < size; ++i)
        total += NulToSlash(base[i]);
    if (total / every != before / every)
        markIn(at, size, before);
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

// Reads S, which stands behind D; false when D, S, or the name block with
// the five bytes and VOLI's length after it would not lie inside the file.
// Every position comes from the file itself, so each is checked against
// the file's size before anything is read or allocated.
bool ReadNameBlockSize(const os::InputFile& in, std::int32_t d, std::int64_t fileSize, std::int32_t& s)
{
    if (d < 0 || std::int64_t(d) + 8 > fileSize || ReadInt32(in, std::int64_t(d) + 4, s) != ReadResult::Ok)
        return false;
    return s > 0 && s <= kMaxNameBlock && std::int64_t(d) + 8 + s <= fileSize &&
           std::int64_t(d) + 13 + s + 4 <= fileSize;
}

} // namespace

clsVOLReader::clsVOLReader(PathStyle style)
    : clsVOLReader(style, SystemServices())
{
}

clsVOLReader::clsVOLReader(PathStyle style, OsServices services)
    : style_(style), os_(services.Completed())
{
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
    if (index >= tableSize_)
        return {};
    const std::string& text = *tableText_;
    const std::size_t mark = index / kMarkEvery * kMarkEvery;
    std::size_t at = lastIndex_;
    std::size_t start = lastStart_;
    if (at > index || at < mark) {
        at = mark;
        start = marks_[index / kMarkEvery];
    }
    for (; at < index; ++at)
        start = static_cast<std::size_t>(static_cast<const char*>(std::memchr(text.data() + start, '/', text.size() - start)) -
                                         text.data()) + 1;
    lastIndex_ = index;
    lastStart_ = start;
    const void* end = std::memchr(text.data() + start, '/', text.size() - start);
    return std::string_view(text.data() + start, static_cast<std::size_t>(static_cast<const char*>(end) - (text.data() + start)));
}

bool clsVOLReader::IsValidVolume(const std::string& VolumePath)
{
    std::optional<os::InputFile> in;
    return CheckVolume(VolumePath.empty() ? path_ : VolumePath, in);
}

bool clsVOLReader::CheckVolume(const std::string& path, std::optional<os::InputFile>& in, std::int32_t* d)
{
    if (path.empty()) {
        Raise(2, "No path to volume given.");
        return false;
    }
    if (!os_.IsPlainFile(path)) {
        Raise(1, "Path " + ShownPath(path, style_) + " not found.");
        return false;
    }
    in.emplace(path);
    // The signature and, for a listing, D behind it, in one read.
    unsigned char head[8];
    const std::int64_t got = in->IsOpen() ? in->ReadAt(0, head, d ? 8 : 4) : -1;
    if (got < 0) {
        // It exists but cannot be opened or read: calling it "not a volume"
        // would mislead the user.
        RaiseDamaged(path);
        return false;
    }
    if (got < 4 || ToUpper(std::string_view(reinterpret_cast<const char*>(head), 4)) != "PVOL") {
        Raise(3, "Invalid volume format.");
        return false;
    }
    if (d)
        *d = got == 8 ? Int32At(head + 4) : -1;
    return true;
}

std::string clsVOLReader::GetFileNames(const std::string& VolumePath)
{
    if (!ListNames(VolumePath))
        return {};
    // T is the table text with its own last character back.
    std::string text = tableText_ ? *tableText_ : std::string(1, '\0');
    text.back() = textLast_;
    return text;
}

std::string clsVOLReader::StoredName(std::size_t index) const
{
    std::string name(TableName(index));
    if (index + 1 == tableSize_ && LastNameCut())
        name += LastNameCut();
    return name;
}

std::shared_ptr<const std::string> clsVOLReader::ListText() const
{
    if (!LastNameCut())
        return tableText_;
    // Only a block without its closing NUL costs a copy.
    auto text = std::make_shared<std::string>(tableText_ ? *tableText_ : std::string(1, '\0'));
    text->back() = textLast_;
    text->push_back('/');
    return text;
}

bool clsVOLReader::ListNames(const std::string& VolumePath)
{
    const std::string path = VolumePath.empty() ? path_ : VolumePath;
    // The check's open file serves the listing too: a second open of the
    // same file was a third of a small volume's listing.
    std::optional<os::InputFile> opened;
    std::int32_t d = -1;
    if (!CheckVolume(path, opened, &d))
        return false;
    const os::InputFile& in = *opened;
    std::optional<std::int64_t> size = in.Size();
    std::int32_t s = 0;
    if (!size || !ReadNameBlockSize(in, d, *size, s)) {
        RaiseDamaged(path);
        return false;
    }

    // The name block with each NUL turned into "/" (T): read it in one go,
    // with the five bytes after it and VOLI, and change it in place, noting
    // the table's marks on the way.
    constexpr std::int32_t kTail = 5 + 4;
    std::string text(static_cast<std::size_t>(s) + kTail, '\0');
    if (in.ReadAt(std::int64_t(d) + 8, text.data(), s + kTail) != s + kTail) {
        RaiseDamaged(path);
        return false;
    }
    const std::int32_t voli = Int32At(reinterpret_cast<const unsigned char*>(text.data()) + s + 5);
    text.resize(static_cast<std::size_t>(s));
    std::vector<std::uint32_t> marks;
    marks.reserve(static_cast<std::size_t>(s) / kMarkEvery + 2); // names <= S, so never grown
    marks.push_back(0);
    const std::size_t slashes = NulsToSlashes(text.data(), text.size(), kMarkEvery, marks);

    KeepTable(std::move(text), slashes, std::move(marks));
    pvol_ = d;
    vols_ = s;
    voli_ = voli;
    fileCount_ = static_cast<std::int32_t>(tableSize_);
    return true;
}

void clsVOLReader::KeepTable(std::string text, std::size_t slashes, std::vector<std::uint32_t> marks)
{
    // The table is T without its last character, split at every "/": T
    // itself with its last character made a "/", which ends the last name.
    // An empty remainder gives an empty table, not one empty name.
    const char last = text.back();
    std::shared_ptr<std::string> tableText;
    std::size_t count = 0;
    if (text.size() > 1) {
        count = slashes - (last == '/') + 1;
        marks.resize((count + kMarkEvery - 1) / kMarkEvery); // a mark past the last name names none
        tableText = std::make_shared<std::string>(std::move(text));
        tableText->back() = '/';
    } else {
        marks.clear();
    }

    tableText_ = std::move(tableText);
    textLast_ = last;
    marks_ = std::move(marks);
    tableSize_ = count;
    lastIndex_ = 0;
    lastStart_ = 0;
}

void clsVOLReader::Extract(const std::string& FileName, const std::string& DestinationPath,
                           const std::string& VolumePath, const std::string& ePath)
{
    const std::string extractor = ePath.empty() ? extractPath_ : ePath;
    if (extractor.empty()) {
        Raise(5, "No path to Extract.exe specified.");
        return;
    }
    if (!os_.IsPlainFile(extractor)) {
        Raise(4, ShownPath(extractor, style_) + " is not a valid path to Extract.exe.");
        return;
    }
    const std::string volume = VolumePath.empty() ? path_ : VolumePath;
    if (!IsValidVolume(volume))
        return;

    // An empty destination has always stood for the root: the output path
    // keeps its leading separator.
    const std::string destination = DestinationPath.empty() ? std::string(1, Separator(style_)) : DestinationPath;
    const std::string out = JoinPath(destination, StoredNameToPath(FileName, style_), style_);

    // The extractor stands bare and the name goes bare as the third field;
    // only the output path spells the name in the local style.
    std::string line;
    line.reserve(extractor.size() + volume.size() + FileName.size() + out.size() + 8);
    line += extractor;
    line += " \"";
    line += volume;
    line += "\" ";
    line += FileName;
    line += " \"";
    line += out;
    line += '"';
    ShellAndWait(line);
}

std::string clsVOLReader::GetDebugInfo() const
{
    if (tableSize_ == 0)
        return {};
    const std::string& text = *tableText_;
    std::string out;
    out.reserve(text.size() + 7 * tableSize_);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('/', start);
        out.append(text, start, end - start);
        out += " 0 0 0\\";
        start = end + 1;
    }
    return out;
}

bool clsVOLReader::ShellAndWait(const std::string& commandLine)
{
    std::int64_t id = 0;
    try {
        id = os_.StartProcessHidden(commandLine, false);
    } catch (...) {
        id = 0;
    }
    if (id == 0) {
        Raise(6, "Unable to shell " + ShownPath(commandLine, style_) + ".");
        return false;
    }
    // Whether the wait succeeds is not the caller's concern: it only needs
    // the process gone when this returns, or not waitable at all.
    os_.WaitForProcess(id, nullptr);
    return true;
}

} // namespace tarnwick
