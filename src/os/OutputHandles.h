#pragma once
// The few system calls the outputs of Files.h (StreamOutput and
// AtomicOutputFile) are built on. OutputFiles.cpp keeps, once for both
// systems, what an output does with them: the state it is in, the write loop,
// closing once, and when the temporary file is made, kept and given up; each
// system opens, writes, closes and moves it into place its own way in its own
// OutputHandles.cpp. The rest of the program uses the classes, never these
// calls.
//
// Two runs may write one output at once (two extractors, or an extractor and
// tarnvol). Each holds its temporary file for as long as it writes: the other
// must neither take it for a killed run's leftover nor move it into place.
#include <cstdint>
#include <string>

namespace tarnwick::os::output {

// A file descriptor on POSIX, a HANDLE on Windows.
using Handle = std::intptr_t;
// No handle: -1 is no descriptor, and it is INVALID_HANDLE_VALUE as well.
inline constexpr Handle kNone = -1;

// The program's standard output, kNone where it has none. It is never closed
// by an output.
Handle StandardOutput();

// An existing FIFO, pipe or character device opened for writing where it
// stands; kNone for anything else (a regular file above all) and when it
// cannot be opened. Nothing is created.
Handle OpenStream(const std::string& path);

// A new file made under `path` for writing, only when nothing stands there
// (nor a link), and held for this run; kNone when none was made, with `taken`
// telling whether that was because something stood under the name.
Handle CreateNew(const std::string& path, bool& taken);

// A new file for writing that has no name yet, on the disk and in the folder
// of `finalPath`; kNone where the system makes no such file (Windows, a file
// system without them, or no way to name it afterwards).
Handle CreateUnnamed(const std::string& finalPath);

// Closes a handle of CreateUnnamed and gives its file the name `final`; when
// something stands there, the file is named `temp` first and moved over it,
// as MoveIntoPlace does. False when the close, the naming or the move
// failed: the file is gone then, and what stood under `final` stands.
bool NameIntoPlace(Handle handle, const std::string& temp, const std::string& final);

// Whether the file under `path` was left by a run that is gone: no run holds
// it. POSIX: its lock can be taken. Windows: the file a run holds cannot be
// deleted, so any file there may be tried.
bool Abandoned(const std::string& path);

// Closes the handle and moves the file it wrote from `temp` to `final`,
// replacing what stands there. False when the close or the move failed, or
// when `temp` no longer names the file this handle wrote: then nothing is
// moved. The temporary file is gone afterwards unless another run's stands
// under its name.
bool MoveIntoPlace(Handle handle, const std::string& temp, const std::string& final);

// Closes the handle and removes `temp` if it still names the file written.
void Discard(Handle handle, const std::string& temp);

// Hands up to `count` bytes (at most 1 GiB) to the system once: how many it
// took, or -1 when the write failed.
std::int64_t WriteSome(Handle handle, const void* data, std::int64_t count);

// False when the close reported an error, e.g. one of a write it finished.
bool Close(Handle handle);

} // namespace tarnwick::os::output
