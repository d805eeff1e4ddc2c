// The outputs of Files.h, for both systems: what each system does
// differently is in the calls of OutputHandles.h, the rest is here once.
#include "os/Files.h"
#include "os/OutputHandles.h"
#include "os/PathStyle.h"
#include "os/ReplaceNames.h"

#include <algorithm>

namespace tarnwick::os {

// Files.h starts every output's handle at -1, meaning none.
static_assert(output::kNone == -1);

namespace {

// The whole buffer, however many writes the system takes it in.
bool WriteAll(output::Handle handle, const void* data, std::int64_t count)
{
    const char* in = static_cast<const char*>(data);
    while (count > 0) {
        const std::int64_t put = output::WriteSome(handle, in, std::min<std::int64_t>(count, 1 << 30));
        if (put < 0)
            return false;
        in += put;
        count -= put;
    }
    return true;
}

// Once a write has failed nothing more goes out, so that no bytes land after
// a gap; Close or Commit then reports the failure.
bool WriteUnlessFailed(output::Handle handle, bool& failed, const void* data, std::int64_t count)
{
    if (handle == output::kNone || failed)
        return false;
    if (!WriteAll(handle, data, count))
        failed = true;
    return !failed;
}

} // namespace

StreamOutput::StreamOutput()
    : handle_(output::StandardOutput())
{
}

StreamOutput::StreamOutput(const std::string& path)
{
    if (path.empty())
        return;
    handle_ = output::OpenStream(path);
    owned_ = handle_ != output::kNone;
}

StreamOutput::~StreamOutput()
{
    if (owned_ && handle_ != output::kNone)
        output::Close(handle_);
}

bool StreamOutput::IsOpen() const { return handle_ != output::kNone; }

bool StreamOutput::Write(const void* data, std::int64_t count)
{
    return WriteUnlessFailed(handle_, failed_, data, count);
}

bool StreamOutput::Close()
{
    if (handle_ == output::kNone)
        return false;
    // Standard output is ours to write, not to close.
    if (owned_ && !output::Close(handle_))
        failed_ = true;
    handle_ = output::kNone;
    return !failed_;
}

AtomicOutputFile::AtomicOutputFile(const std::string& finalPath)
    : finalPath_(finalPath)
{
    if (finalPath.empty()) {
        failed_ = true;
        return;
    }
    // Without a name until it is whole: the disk makes one name instead of a
    // temporary one and a rename, and a killed run leaves nothing.
    handle_ = output::CreateUnnamed(finalPath);
    if (handle_ != output::kNone) {
        unnamed_ = true;
        return;
    }
    // What stands under the temporary name is the leftover of a killed run
    // for this output: it goes, and the create is tried once more.
    const std::string temp = ReplaceTempName(finalPath, NativePathStyle());
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool taken = false;
        const output::Handle h = output::CreateNew(temp, taken);
        if (h != output::kNone) {
            tempPath_ = temp;
            handle_ = h;
            return;
        }
        if (!taken || attempt > 0 || !output::Abandoned(temp) || !DeleteFile(temp))
            break;
    }
    failed_ = true;
}

AtomicOutputFile::~AtomicOutputFile()
{
    if (handle_ != output::kNone && unnamed_)
        output::Close(handle_);
    else if (handle_ != output::kNone)
        output::Discard(handle_, tempPath_);
}

bool AtomicOutputFile::IsOpen() const { return handle_ != output::kNone; }

bool AtomicOutputFile::Write(const void* data, std::int64_t count)
{
    return WriteUnlessFailed(handle_, failed_, data, count);
}

bool AtomicOutputFile::Commit()
{
    if (handle_ == output::kNone || failed_)
        return false;
    const output::Handle h = handle_;
    handle_ = output::kNone;
    // No fsync or FlushFileBuffers: the rename alone keeps a half-written
    // file from ever standing under the final name, and a sync per extracted
    // file costs more than the copy itself. A failed move leaves whatever
    // stood under the final name as it was.
    if (unnamed_ ? output::NameIntoPlace(h, ReplaceTempName(finalPath_, NativePathStyle()), finalPath_)
                 : output::MoveIntoPlace(h, tempPath_, finalPath_))
        return true;
    failed_ = true;
    return false;
}

} // namespace tarnwick::os
