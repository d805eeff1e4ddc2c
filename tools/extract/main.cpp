// The stand-in extractor: copies one stored file out of a volume.
//   extract "VOLUME" NAME "OUTPUT"
// NAME usually arrives bare, so a name with blanks comes as several
// arguments: all of them between the volume and the output, joined by single
// blanks, make it. A name the bare form cannot carry (two blanks in a row, a
// tab, a blank at either end, a double quote) arrives quoted, as one argument.
#include "extraction/StoredFileCopy.h"
#include "os/TextCase.h"
#include "os/Files.h"
#include "os/System.h"
#include "volume/VolumeIndex.h"
#include "volume/SortedNameFile.h"
#include "os/PathStyle.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using tarnwick::VolumeIndex;
namespace os = tarnwick::os;

namespace {

using tarnwick::CopyStatus;
constexpr int kOk = static_cast<int>(CopyStatus::Ok);
constexpr int kUsage = static_cast<int>(CopyStatus::Usage);
constexpr int kVolumeUnreadable = static_cast<int>(CopyStatus::VolumeUnreadable);

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
    VolumeIndex::Entry entry;
    tarnwick::CopyResult done = tarnwick::FindStoredFile(read, *size, volume, name, sorted.get(), entry);
    if (done.Ok())
        done = tarnwick::CopyStoredFile(read, volume, entry.dataOffset, entry.length, name, output);
    return done.Ok() ? kOk : Fail(static_cast<int>(done.status), done.message);
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
