// The stand-in extractor: copies one stored file out of a volume.
//   extract "VOLUME" NAME "OUTPUT"
// NAME arrives bare, so a name with blanks comes as several arguments: all of
// them between the volume and the output, joined by single blanks, make it.
#include "platform/os/Files.h"
#include "volume/VolumeIndex.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using tarnwick::VolumeIndex;

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
    "Copies the file NAME (as the volume stores it, folders separated by\n"
    "backslashes; case does not matter) out of the volume VOLUME to OUTPUT.\n"
    "A NAME given as several arguments is joined with single blanks.\n"
    "OUTPUT appears whole or not at all; its folder must exist.\n"
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

int Fail(int code, const std::string& message)
{
    std::fprintf(stderr, "extract: %s\n", message.c_str());
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
                      std::strcmp(argv[1], "/?") == 0)) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    if (argc < 4)
        return Fail(kUsage, "usage: extract VOLUME NAME OUTPUT (see extract --help)");

    const std::string volume = argv[1];
    const std::string output = argv[argc - 1];
    std::string name = argv[2];
    for (int i = 3; i < argc - 1; ++i)
        name += std::string(" ") + argv[i];
    if (volume.empty() || output.empty())
        return Fail(kUsage, "the volume and the output must not be empty");

    VolumeIndex index;
    switch (index.ParseFile(volume)) {
    case VolumeIndex::Status::Ok: break;
    case VolumeIndex::Status::Unreadable:
        return Fail(kVolumeUnreadable, "cannot read volume " + volume + ": " + index.Problem());
    case VolumeIndex::Status::NotAVolume:
        return Fail(kNotAVolume, volume + " is not a volume: " + index.Problem());
    case VolumeIndex::Status::Damaged:
        return Fail(kDamaged, "the directory of " + volume + " is damaged: " + index.Problem());
    }

    const VolumeIndex::Entry* entry = index.Find(name);
    if (!entry)
        return Fail(kNameMissing, name + " is not in " + volume);
    if (entry->method != 0)
        return Fail(kUnsupportedMethod, name + " is stored with method " + std::to_string(entry->method) +
                                            " (" + VolumeIndex::MethodName(entry->method) +
                                            "), which is not supported");

    tarnwick::os::InputFile in(volume);
    if (!in.IsOpen())
        return Fail(kVolumeUnreadable, "cannot open volume " + volume);
    tarnwick::os::AtomicOutputFile out(output);
    if (!out.IsOpen())
        return Fail(kOutputNotWritable, "cannot write " + output);

    constexpr std::int64_t kBlock = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    std::int64_t done = 0;
    while (done < entry->length) {
        const std::int64_t want = std::min(kBlock, entry->length - done);
        const std::int64_t got = in.ReadAt(entry->dataOffset + done, buffer.get(), want);
        if (got <= 0)
            return Fail(kVolumeUnreadable, "cannot read " + name + " from " + volume);
        if (!out.Write(buffer.get(), got))
            return Fail(kOutputNotWritable, "cannot write " + output);
        done += got;
    }
    if (!out.Commit())
        return Fail(kOutputNotWritable, "cannot write " + output);
    return kOk;
}
