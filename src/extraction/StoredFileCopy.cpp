#include "extraction/StoredFileCopy.h"
#include "os/Files.h"
#include "os/PathStyle.h"
#include "os/WindowsNames.h"

#include <algorithm>
#include <memory>

namespace tarnwick {

namespace {

CopyResult Failure(CopyStatus status, std::string message)
{
    return {status, std::move(message)};
}

bool SameFile(const std::string& a, const std::string& b)
{
    // The output first: it is mostly not there yet.
    if (!os::PlainExists(b) || !os::PlainExists(a))
        return false;
    const std::string la = os::LongPathName(a), lb = os::LongPathName(b);
    return !la.empty() && la == lb;
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

CopyResult OpenOutput(const std::string& volume, const std::string& output, Output& out)
{
    // A name Windows reads as a device, or trims into another file's, would
    // send the bytes somewhere else than the caller named; only the explicit
    // \\.\ form names a device.
    if (output != "-" && NativePathStyle() == PathStyle::Windows && output.compare(0, 4, "\\\\.\\") != 0) {
        if (const std::string why = WindowsPathProblem(output); !why.empty())
            return Failure(CopyStatus::OutputNotWritable, "cannot write " + output + ": the name " + why);
    }
    if (output == "-") {
        out.stream = std::make_unique<os::StreamOutput>();
    } else {
        switch (os::KindOfOutput(output)) {
        case os::OutputKind::Stream: out.stream = std::make_unique<os::StreamOutput>(output); break;
        case os::OutputKind::Refused:
            return Failure(CopyStatus::OutputNotWritable,
                           "cannot write " + output + ": " +
                               (os::IsPlainFolder(output) ? "a folder of that name exists"
                                                          : "it is neither a file nor a stream"));
        case os::OutputKind::File:
            // Renaming the copy over the volume itself would destroy it.
            if (SameFile(volume, output))
                return Failure(CopyStatus::OutputNotWritable, "cannot write " + output + ": it is the volume itself");
            out.file = std::make_unique<os::AtomicOutputFile>(output);
            break;
        }
    }
    if (!out.IsOpen())
        return Failure(CopyStatus::OutputNotWritable, "cannot write " + output);
    return {};
}

CopyResult Refusal(const VolumeLookup& found, const std::string& volume, std::string_view name)
{
    switch (found.status) {
    case VolumeIndex::Status::Ok: break;
    case VolumeIndex::Status::Unreadable:
        return Failure(CopyStatus::VolumeUnreadable, "cannot read volume " + volume + ": " + found.problem);
    case VolumeIndex::Status::NotAVolume:
        return Failure(CopyStatus::NotAVolume, volume + " is not a volume: " + found.problem);
    case VolumeIndex::Status::Damaged:
        return Failure(CopyStatus::Damaged, "the directory of " + volume + " is damaged: " + found.problem);
    }
    if (!found.found)
        return Failure(CopyStatus::NameMissing, std::string(name) + " is not in " + volume);
    return CheckMethod(name, found.entry.method);
}

} // namespace

CopyResult CheckMethod(std::string_view name, std::uint8_t method)
{
    if (method == 0)
        return {};
    return Failure(CopyStatus::UnsupportedMethod, std::string(name) + " is stored with method " + std::to_string(method) +
                                                      " (" + VolumeIndex::MethodName(method) + "), which is not supported");
}

CopyResult FindStoredFile(const VolumeIndex::ReadFn& read, std::int64_t fileSize, const std::string& volume,
                          std::string_view name, volume::SortedNameStore* sorted, VolumeIndex::Entry& entry)
{
    VolumeLookup found = LookUpVolumeEntry(read, fileSize, name, sorted);
    // A name pasted from a listing that shows / between folders: the volume
    // keeps \ there. A stored name holding / itself was taken first above.
    if (found.status == VolumeIndex::Status::Ok && !found.found && name.find('/') != std::string_view::npos) {
        std::string stored(name);
        std::replace(stored.begin(), stored.end(), '/', '\\');
        VolumeLookup again = LookUpVolumeEntry(read, fileSize, stored, sorted);
        if (again.status != VolumeIndex::Status::Ok || again.found)
            found = std::move(again);
    }
    CopyResult refused = Refusal(found, volume, name);
    if (refused.Ok())
        entry = std::move(found.entry);
    return refused;
}

CopyResult CopyStoredFile(const VolumeIndex::ReadFn& read, const std::string& volume, std::int64_t dataOffset,
                          std::int64_t length, const std::string& name, const std::string& output)
{
    Output out;
    if (CopyResult refused = OpenOutput(volume, output, out); !refused.Ok())
        return refused;
    // Most scripts are a few kilobytes: a block of their own size serves
    // them, and a megabyte at most serves the rest.
    constexpr std::int64_t kBlock = 1 << 20;
    const std::int64_t block = std::max<std::int64_t>(1, std::min(kBlock, length));
    std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(block)]);
    for (std::int64_t done = 0; done < length;) {
        const std::int64_t want = std::min(block, length - done);
        const std::int64_t got = read(dataOffset + done, buffer.get(), want);
        if (got <= 0)
            return Failure(CopyStatus::VolumeUnreadable, "cannot read " + name + " from " + volume);
        if (!out.Write(buffer.get(), got))
            return Failure(CopyStatus::OutputNotWritable, "cannot write " + output);
        done += got;
    }
    if (!out.Finish())
        return Failure(CopyStatus::OutputNotWritable, "cannot write " + output);
    return {};
}

} // namespace tarnwick
