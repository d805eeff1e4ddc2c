// The stand-in extractor: copies one stored file out of a volume.
//   extract "VOLUME" NAME "OUTPUT"
// NAME usually arrives bare, so a name with blanks comes as several
// arguments: all of them between the volume and the output, joined by single
// blanks, make it. A name the bare form cannot carry (two blanks in a row, a
// tab, a blank at either end, a double quote) arrives quoted, as one argument.
#include "os/TextCase.h"
#include "os/Files.h"
#include "os/System.h"
#include "volume/VolumeIndex.h"
#include "volume/SortedNameFile.h"
#include "volume/VolumeLookup.h"
#include "os/PathStyle.h"
#include "os/WindowsNames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using tarnwick::LookUpVolumeEntry;
using tarnwick::VolumeIndex;
using tarnwick::VolumeLookup;
namespace os = tarnwick::os;

namespace {

enum Exit {
    kOk = 0,
    kUsage = 2,
    kVolumeUnreadable = 3,
    kNotAVolume = 4,
    kDamaged = 5,
    kNameMissing = 6,
    kUnsupportedMethod = 7,
    kOutputNotWritable = 8,
};

const char* kHelp =
    "usage: extract VOLUME NAME OUTPUT\n"
    "       extract --help | --version\n"
    "Copies the file NAME (as the volume stores it, folders separated by\n"
    "backslashes) out of the volume VOLUME to OUTPUT. A stored name of exactly\n"
    "the same bytes is taken first; failing that, the first one that differs\n"
    "only in the case of ASCII letters. Failing both, a NAME with / between its\n"
    "folders is looked for with \\ in their place, as a listing may show it.\n"
    "A NAME given as several arguments is joined with single blanks.\n"
    "A file OUTPUT appears whole or not at all; its folder must exist. A FIFO\n"
    "or a device (or a link to one) is written in place; - is standard output.\n"
    "On Windows an OUTPUT the disk cannot hold as given is refused: a device's\n"
    "name in any folder (NUL, COM1, nul.cs), a name ending in a dot or blank, or\n"
    "one holding : < > \" | ? * or a control character. A device is named as\n"
    "\\\\.\\NUL.\n"
    "The order of a large volume's names is kept in the user's cache folder\n"
    "(tarnwick/names), so that later runs on it find a name at once; such a\n"
    "file is checked against the volume each time and may be deleted.\n"
    "\n"
    "exit codes:\n"
    "  0  the file was extracted\n"
    "  2  usage error\n"
    "  3  the volume is missing or cannot be read\n"
    "  4  the file is not a volume\n"
    "  5  the volume's directory is damaged\n"
    "  6  the name is not in the volume\n"
    "  7  the file's storage method is not supported (compressed)\n"
    "  8  the output cannot be written\n";

#define EXTRACT_TEXT2(x) #x
#define EXTRACT_TEXT(x) EXTRACT_TEXT2(x)
const char* kVersion = "extract " EXTRACT_TEXT(TARNWICK_VERSION_MAJOR) "." EXTRACT_TEXT(
    TARNWICK_VERSION_MINOR) "." EXTRACT_TEXT(TARNWICK_VERSION_REVISION) "\n";

int Fail(int code, const std::string& message)
{
    std::fprintf(stderr, "extract: %s\n", message.c_str());
    return code;
}

// The file name of a path in either separator, without ".exe", lower case.
std::string Title(const std::string& path)
{
    auto cut = path.find_last_of("/\\");
    std::string t = tarnwick::ToLower(cut == std::string::npos ? path : path.substr(cut + 1));
    if (t.size() > 4 && t.compare(t.size() - 4, 4, ".exe") == 0)
        t.resize(t.size() - 4);
    return t;
}

// How many arguments after the first still belong to our own path. Started
// with a bare path that holds blanks ("C:\Program Files\x\extract.exe" ...),
// the program is found all the same, but the splitting of its command line
// cuts that path at the blanks: the pieces are glued back until they name
// this program.
int PiecesOfOwnPath(const std::vector<std::string>& args)
{
    const std::string self = Title(os::ProgramPath());
    if (self.empty() || Title(args[0]) == self)
        return 0;
    std::string joined = args[0];
    // Three arguments must stay for the volume, the name and the output.
    for (std::size_t k = 1; k + 3 < args.size(); ++k) {
        joined += ' ';
        joined += args[k];
        if (Title(joined) == self)
            return static_cast<int>(k);
    }
    return 0;
}

bool SameFile(const std::string& a, const std::string& b)
{
    if (!os::PlainExists(a) || !os::PlainExists(b))
        return false;
    const std::string la = os::LongPathName(a), lb = os::LongPathName(b);
    return !la.empty() && la == lb;
}

// Where the order of a large volume's names is kept between runs: one run
// per file on a volume of 100,000 names would otherwise pass over its whole
// directory 100,000 times. None when the user has no cache folder.
std::unique_ptr<tarnwick::volume::SortedNameFile> SortedNamesOf(const std::string& volume, const os::InputFile& in)
{
    const std::string cache = os::UserCacheFolder();
    const std::string full = os::LongPathName(volume);
    const auto identity = in.Identity();
    if (cache.empty() || full.empty() || !identity)
        return nullptr;
    const tarnwick::PathStyle style = tarnwick::NativePathStyle();
    const std::string folder = tarnwick::JoinPath(
        tarnwick::JoinPath(cache, style == tarnwick::PathStyle::Windows ? "Tarnwick" : "tarnwick", style), "names", style);
    return std::make_unique<tarnwick::volume::SortedNameFile>(folder, full, *identity);
}

// The output as the copy writes it: a file is replaced whole through a
// temporary file; a FIFO or a device is written where it stands, since
// renaming over it would put a plain file in its place.
struct Output {
    std::unique_ptr<os::AtomicOutputFile> file;
    std::unique_ptr<os::StreamOutput> stream;

    bool IsOpen() const { return file ? file->IsOpen() : stream->IsOpen(); }
    bool Write(const void* data, std::int64_t count)
    {
        return file ? file->Write(data, count) : stream->Write(data, count);
    }
    bool Finish() { return file ? file->Commit() : stream->Close(); }
};

// kOk when the lookup found the name stored as is; otherwise the failure,
// told.
int RefusalOf(const VolumeLookup& found, const std::string& volume, const std::string& name)
{
    switch (found.status) {
    case VolumeIndex::Status::Ok: break;
    case VolumeIndex::Status::Unreadable:
        return Fail(kVolumeUnreadable, "cannot read volume " + volume + ": " + found.problem);
    case VolumeIndex::Status::NotAVolume:
        return Fail(kNotAVolume, volume + " is not a volume: " + found.problem);
    case VolumeIndex::Status::Damaged:
        return Fail(kDamaged, "the directory of " + volume + " is damaged: " + found.problem);
    }
    if (!found.found)
        return Fail(kNameMissing, name + " is not in " + volume);
    const VolumeIndex::Entry& entry = found.entry;
    if (entry.method != 0)
        return Fail(kUnsupportedMethod, name + " is stored with method " + std::to_string(entry.method) + " (" +
                                            VolumeIndex::MethodName(entry.method) + "), which is not supported");
    return kOk;
}

// Opens OUTPUT as its kind asks; kOk, or the failure told.
int OpenOutput(const std::string& volume, const std::string& output, Output& out)
{
    // A name Windows reads as a device, or trims into another file's, would
    // send the bytes somewhere else than the caller named; only the explicit
    // \\.\ form names a device.
    if (output != "-" && tarnwick::NativePathStyle() == tarnwick::PathStyle::Windows &&
        output.compare(0, 4, "\\\\.\\") != 0) {
        if (const std::string why = tarnwick::WindowsPathProblem(output); !why.empty())
            return Fail(kOutputNotWritable, "cannot write " + output + ": the name " + why);
    }
    if (output == "-") {
        out.stream = std::make_unique<os::StreamOutput>();
    } else {
        switch (os::KindOfOutput(output)) {
        case os::OutputKind::Stream: out.stream = std::make_unique<os::StreamOutput>(output); break;
        case os::OutputKind::Refused:
            return Fail(kOutputNotWritable, "cannot write " + output + ": " +
                                                (os::IsPlainFolder(output) ? "a folder of that name exists"
                                                                           : "it is neither a file nor a stream"));
        case os::OutputKind::File:
            // Renaming the copy over the volume itself would destroy it.
            if (SameFile(volume, output))
                return Fail(kOutputNotWritable, "cannot write " + output + ": it is the volume itself");
            out.file = std::make_unique<os::AtomicOutputFile>(output);
            break;
        }
    }
    if (!out.IsOpen())
        return Fail(kOutputNotWritable, "cannot write " + output);
    return kOk;
}

// Copies the entry's bytes to the output a block at a time and finishes it;
// kOk, or the failure told.
int CopyEntry(const os::InputFile& in, const VolumeIndex::Entry& entry, Output& out, const std::string& volume,
              const std::string& name, const std::string& output)
{
    constexpr std::int64_t kBlock = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    std::int64_t done = 0;
    while (done < entry.length) {
        const std::int64_t want = std::min(kBlock, entry.length - done);
        const std::int64_t got = in.ReadAt(entry.dataOffset + done, buffer.get(), want);
        if (got <= 0)
            return Fail(kVolumeUnreadable, "cannot read " + name + " from " + volume);
        if (!out.Write(buffer.get(), got))
            return Fail(kOutputNotWritable, "cannot write " + output);
        done += got;
    }
    if (!out.Finish())
        return Fail(kOutputNotWritable, "cannot write " + output);
    return kOk;
}

// Copies NAME out of VOLUME to OUTPUT, the command line already taken apart.
int Extract(const std::string& volume, const std::string& name, const std::string& output)
{
    if (!os::IsPlainFile(volume))
        return Fail(kVolumeUnreadable, "cannot read volume " + volume + ": not found or not a plain file");
    os::InputFile in(volume);
    const auto size = in.Size();
    if (!in.IsOpen() || !size)
        return Fail(kVolumeUnreadable, "cannot open volume " + volume);
    const VolumeIndex::ReadFn read = [&in](std::int64_t offset, void* buffer, std::int64_t count) {
        return in.ReadAt(offset, buffer, count);
    };

    // Only the one entry is looked for, in place: the directory is never
    // built, so a volume that claims millions of entries costs no memory.
    std::unique_ptr<tarnwick::volume::SortedNameFile> sorted = SortedNamesOf(volume, in);
    VolumeLookup found = LookUpVolumeEntry(read, *size, name, sorted.get());
    // A name pasted from a listing that shows / between folders: the volume
    // keeps \ there. A stored name holding / itself was taken first above.
    if (found.status == VolumeIndex::Status::Ok && !found.found && name.find('/') != std::string::npos) {
        std::string stored = name;
        std::replace(stored.begin(), stored.end(), '/', '\\');
        VolumeLookup again = LookUpVolumeEntry(read, *size, stored, sorted.get());
        if (again.status != VolumeIndex::Status::Ok || again.found)
            found = std::move(again);
    }
    if (const int refused = RefusalOf(found, volume, name); refused != kOk)
        return refused;
    Output out;
    if (const int refused = OpenOutput(volume, output, out); refused != kOk)
        return refused;
    return CopyEntry(in, found.entry, out, volume, name, output);
}

} // namespace

int main(int argc, char** argv)
{
    tarnwick::os::RestrictLibrarySearch();
    std::vector<std::string> args(argv, argv + argc);
    if (args.empty())
        return Fail(kUsage, "usage: extract VOLUME NAME OUTPUT (see extract --help)");
    if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h" || args[1] == "/?")) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    // Alone on the line only: "--version" could be a volume's name otherwise.
    if (args.size() == 2 && args[1] == "--version") {
        std::fputs(kVersion, stdout);
        return kOk;
    }
    args.erase(args.begin() + 1, args.begin() + 1 + PiecesOfOwnPath(args));
    if (args.size() < 4)
        return Fail(kUsage, "usage: extract VOLUME NAME OUTPUT (see extract --help)");

    const std::string volume = args[1];
    const std::string output = args.back();
    std::string name = args[2];
    for (std::size_t i = 3; i + 1 < args.size(); ++i)
        name += ' ' + args[i];
    if (volume.empty() || output.empty())
        return Fail(kUsage, "the volume and the output must not be empty");
    return Extract(volume, name, output);
}
