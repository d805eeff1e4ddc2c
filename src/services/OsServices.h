#pragma once
// The operating-system services the extraction job, the volume reader and
// folder creation ask for. The system's come from the OS layer; tests put in
// their own to act out Windows drives, failing disks or an extractor on any
// system.
//
// One rule for every member: a service left empty is the system's own. A
// caller fakes only what its case is about and the rest stays real; users
// fill the gaps with Completed() before they call anything.
#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick {

struct OsServices {
    std::function<bool(const std::string& path)> IsPlainFile;
    std::function<bool(const std::string& path)> IsPlainFolder;
    // A plain file or a plain folder.
    std::function<bool(const std::string& path)> PlainExists;
    // A FIFO, a device or a socket, links followed.
    std::function<bool(const std::string& path)> IsSpecialFile;
    // Creates one folder whose parent exists; false on failure.
    std::function<bool(const std::string& path)> CreateFolder;
    std::function<bool(const std::string& path)> DeleteFile;
    // Moves a file, replacing what stands at the target.
    std::function<bool(const std::string& from, const std::string& to)> RenameFile;
    // Returns the process id, 0 when the command did not start. With
    // `catchErrors`, what the process writes to its standard error is kept
    // for the wait instead of going to ours.
    std::function<std::int64_t(const std::string& commandLine, bool catchErrors)> StartProcessHidden;
    // The exit code (-1 unknown); `errors`, when given, receives what a
    // process whose errors were caught wrote to its standard error.
    std::function<int(std::int64_t processId, std::string* errors)> WaitForProcess;
    std::function<std::string()> ProgramFolder;
    // The extractor taken when none is named, for a program folder; the
    // system's looks beside it, then where an install puts it.
    std::function<std::string(const std::string& programFolder)> DefaultExtractorPath;
    // The path with every link (and, on Windows, every junction) resolved,
    // "" when it does not exist.
    std::function<std::string(const std::string& path)> RealPath;

    // These services with every empty one taken from SystemServices().
    OsServices Completed() const;
};

// Every service, the system's own.
OsServices SystemServices();

} // namespace tarnwick
