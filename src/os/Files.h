#pragma once
// Files and folders, as the rest of the program may see them. A "plain" file
// or folder is one the user is meant to see: on Windows one without the hidden
// or system attribute; on POSIX a regular file or a directory (devices, FIFOs
// and sockets count as system files, so nothing ever blocks opening one).
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace tarnwick::os {

bool IsPlainFile(const std::string& path);
bool IsPlainFolder(const std::string& path);
// A plain file or a plain folder.
bool PlainExists(const std::string& path);
// Whether the path names, links followed, a FIFO, a device or a socket:
// nothing a replaced file may take the place of, and a FIFO would hold up
// whoever opens it for writing. Windows: never; its devices are reached only
// through their names (WindowsNames.h), pipes only through \\.\pipe\.
bool IsSpecialFile(const std::string& path);

// Length in bytes, or nothing when the file cannot be examined.
std::optional<std::int64_t> FileLength(const std::string& path);
// Time of the last change, or nothing when the file cannot be examined.
std::optional<std::time_t> FileModified(const std::string& path);
// Bytes the user may still write on the disk that holds the folder, or
// nothing when the system cannot say. POSIX: statvfs's share for users that
// are not root (quotas are not counted). Windows: GetDiskFreeSpaceExA's share
// for the caller, quotas counted.
std::optional<std::int64_t> FreeBytesIn(const std::string& folder);

bool DeleteFile(const std::string& path);
// Creates one folder; its parent must exist.
bool CreateFolder(const std::string& path);
// Creates a folder and every missing one above it (for the program's own
// data folders; the extraction job reports each failing level itself).
bool CreateFolderTree(const std::string& path);
// Moves a file, replacing what stands at the target.
bool RenameFile(const std::string& from, const std::string& to);

// The long (canonical) form of an existing path, empty on failure. Windows:
// GetLongPathNameA. POSIX: realpath.
std::string LongPathName(const std::string& path);
// The path with every link on its way followed, empty on failure: what
// tells whether a path stays inside a folder. POSIX: realpath. Windows: the
// final path of the opened file or folder, since GetLongPathNameA leaves
// junctions and symbolic links standing.
std::string RealPath(const std::string& path);

// The path made absolute against the current folder; it need not exist.
// POSIX: "." pieces and doubled or closing slashes drop out, ".." pieces
// stay (only the file system knows where they lead past a link). Windows:
// GetFullPathNameA, which folds ".." pieces as well. Empty when the current
// folder cannot be learnt.
std::string AbsolutePath(const std::string& path);

// Whether the path names a plain file the system can start as a program.
// POSIX: a regular file we may execute. Windows: an executable image
// (GetBinaryTypeA).
bool IsProgramFile(const std::string& path);

// A file opened for reading, closed when the object goes.
class InputFile {
public:
    InputFile() = default;
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const;
    std::optional<std::int64_t> Size() const;
    // What tells this state of the file from any other, as bytes to compare:
    // a file rewritten in place, even to the same size and time of change,
    // or another file put under the name, has other bytes. POSIX: device,
    // inode, size, and the modification and status-change times to the
    // nanosecond (the latter no program can set back). Windows: volume
    // serial, file index, size, last write and change times. Nothing when
    // the file cannot be examined.
    std::optional<std::string> Identity() const;
    // Reads up to `count` bytes at `offset`; returns how many arrived, -1 on
    // error. Short only at the end of the file.
    std::int64_t ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const;

private:
    std::intptr_t handle_ = -1;
};

// What a path that output is meant for names, links followed.
enum class OutputKind {
    File,    // a regular file, or nothing yet: replaced whole (AtomicOutputFile)
    Stream,  // a FIFO or a character device: written where it stands (StreamOutput)
    Refused, // a folder, a socket, a block device: never written
};
OutputKind KindOfOutput(const std::string& path);

// An output written where it stands: a FIFO, a character device (a terminal,
// the null device) or the program's standard output. Nothing is created,
// truncated or renamed: replacing such a name by a regular file would break
// whatever the name stood for.
class StreamOutput {
public:
    StreamOutput(); // standard output
    // Opens an existing FIFO or character device for writing (a FIFO waits
    // for its reader); refuses anything else.
    explicit StreamOutput(const std::string& path);
    ~StreamOutput();
    StreamOutput(const StreamOutput&) = delete;
    StreamOutput& operator=(const StreamOutput&) = delete;

    bool IsOpen() const;
    bool Write(const void* data, std::int64_t count);
    // Closes what was opened; false when any write or the close failed.
    bool Close();

private:
    std::intptr_t handle_ = -1;
    bool owned_ = false;
    bool failed_ = false;
};

// A new file written beside its final place and renamed into it on Commit, so
// that a failure never leaves a partial file under the final name. Where the
// system can, the file has no name at all until Commit gives it its own, so
// that a killed run leaves nothing behind. Otherwise the temporary file has
// the short hidden name ReplaceTempName gives, so that an output whose name is
// as long as the disk allows can be written; a file left under that name by an
// earlier run that was killed is removed first.
class AtomicOutputFile {
public:
    explicit AtomicOutputFile(const std::string& finalPath);
    ~AtomicOutputFile(); // removes the temporary file unless committed
    // (and only its own: another run writing the same output keeps its own)
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    bool IsOpen() const;
    bool Write(const void* data, std::int64_t count);
    // Closes and renames into place; false when any step failed. Nothing is
    // synced: a killed run leaves the old file or the new one whole, a power cut may not.
    bool Commit();

private:
    std::string finalPath_;
    std::string tempPath_; // empty while the file has no name
    bool unnamed_ = false;
    std::intptr_t handle_ = -1;
    bool failed_ = false;
};

} // namespace tarnwick::os
