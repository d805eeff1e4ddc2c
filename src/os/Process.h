#pragma once
// Starting the extractor and waiting for it.
#include <cstdint>
#include <string>

namespace tarnwick::os {

// Starts a Windows-style command line as a new process with no window.
// POSIX: the line is split by the Windows quoting rules and the program is
// spawned without a shell. Returns the process id, 0 when it could not start.
// With `catchErrors`, what the process writes to its standard error is kept
// for WaitForProcess instead of going to ours.
std::int64_t StartProcessHidden(const std::string& commandLine, bool catchErrors = false);

// Waits, without a time-out, until the process has ended (Windows: OpenProcess
// with SYNCHRONIZE, WaitForSingleObject INFINITE, CloseHandle). A process that
// cannot be opened is not waited for and nothing is reported. Returns the
// exit code when it could be learnt (POSIX: 128 + the signal for a process
// that was killed), -1 otherwise. For a process started with its errors
// caught, `errors` receives the start of what it wrote there (at most
// kCaughtErrorBytes; the rest is read and dropped, so that a talkative
// process never blocks on a full pipe).
int WaitForProcess(std::int64_t processId, std::string* errors = nullptr);

inline constexpr std::size_t kCaughtErrorBytes = 4096;

} // namespace tarnwick::os
