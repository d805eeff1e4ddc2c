#pragma once
// The few system calls the outputs of Files.h (StreamOutput and
// AtomicOutputFile) are built on. OutputFiles.cpp keeps, once for both
// systems, what an output does with them: the state it is in, the write loop,
// closing once, and the temporary file's life; each system opens, writes and
// closes its own way in its own OutputHandles.cpp. Removing and renaming are
// DeleteFile and RenameFile of Files.h. The rest of the program uses the
// classes, never these calls.
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
// (nor a link); kNone when none was made, with `taken` telling whether that
// was because something stood under the name.
Handle CreateNew(const std::string& path, bool& taken);

// Hands up to `count` bytes (at most 1 GiB) to the system once: how many it
// took, or -1 when the write failed.
std::int64_t WriteSome(Handle handle, const void* data, std::int64_t count);

// False when the close reported an error, e.g. one of a write it finished.
bool Close(Handle handle);

} // namespace tarnwick::os::output
